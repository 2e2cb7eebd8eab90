// What the tests share: temporary folders and whole files. Paths are UTF-8 text, as in the core,
// joined with the system's separator.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace zentil::testing {

// A path in UTF-8 as the standard library takes it; from narrow text Windows would read the
// ANSI code page.
inline std::filesystem::path fs_path(std::string_view utf8) {
  return std::u8string(utf8.begin(), utf8.end());
}

// A folder of its own in the system's temporary folder, removed with all it holds.
class TempDir {
 public:
  TempDir() {
    static std::mt19937_64 random(std::random_device{}());
    const auto base = std::filesystem::temp_directory_path();
    std::filesystem::path dir;
    do {
      dir = base / ("zentil-test-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(dir));
    const std::u8string text = dir.u8string();
    path_.assign(text.begin(), text.end());
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(fs_path(path_), ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return join_path(path_, name); }
  // Writes `bytes` to `name` in the folder, making folders on the way; returns its path.
  std::string write(std::string_view name, std::string_view bytes) const {
    const std::string path = *this / name;
    std::filesystem::create_directories(fs_path(path).parent_path());
    std::ofstream(fs_path(path), std::ios::binary).write(bytes.data(), std::ssize(bytes));
    return path;
  }

 private:
  std::string path_;
};

inline std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
inline std::string read_file(const std::string& utf8) {
  return read_file(fs_path(utf8));
}

}  // namespace zentil::testing
