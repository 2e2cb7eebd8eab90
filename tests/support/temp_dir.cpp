#include "support/temp_dir.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "platform/file_system.h"

namespace zentil::testing {
namespace {

namespace fs = std::filesystem;

// Paths are UTF-8 text in the program; std::filesystem takes them as such on every system.
fs::path to_path(std::string_view utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string to_text(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

TempDir::TempDir() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path dir = fs::temp_directory_path() / ("zentil-test-" + std::to_string(random()));
    if (fs::create_directory(dir)) {
      path_ = to_text(dir);
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::permissions(to_path(path_), fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(to_path(path_), ignored);
}

std::string TempDir::operator/(std::string_view name) const {
  return join_path(path_, name);
}

std::string TempDir::write(std::string_view name, std::string_view bytes) const {
  const std::string path = *this / name;
  fs::create_directories(to_path(path).parent_path());
  std::ofstream out(to_path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
  return path;
}

std::string read_file(const std::string& path) {
  std::ifstream in(to_path(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool file_exists(const std::string& path) {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(to_path(path), ignored));
}

}  // namespace zentil::testing
