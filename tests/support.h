// What the tests share: temporary folders and whole files.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace zentil::testing {

// A folder of its own in the system's temporary folder, removed with all it holds.
class TempDir {
 public:
  TempDir() {
    static std::mt19937_64 random(std::random_device{}());
    const auto base = std::filesystem::temp_directory_path();
    do {
      path_ = (base / ("zentil-test-" + std::to_string(random()))).string();
    } while (!std::filesystem::create_directory(path_));
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }
  // Writes `bytes` to `name` in the folder, making folders on the way; returns its path.
  std::string write(std::string_view name, std::string_view bytes) const {
    const std::string path = *this / name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
    return path;
  }

 private:
  std::string path_;
};

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace zentil::testing
