// Test helpers: a temporary folder that removes itself, and whole-file reads and writes.
#pragma once

#include <string>
#include <string_view>

namespace zentil::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // The full path of `name` inside the folder.
  std::string operator/(std::string_view name) const;
  // Writes `bytes` to `name` inside the folder (creating folders as needed); returns the path.
  std::string write(std::string_view name, std::string_view bytes) const;

 private:
  std::string path_;
};

std::string read_file(const std::string& path);
bool file_exists(const std::string& path);

}  // namespace zentil::testing
