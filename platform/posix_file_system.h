#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/unique_fd.h"

namespace zentil {

// The file system of a POSIX system. Every regular file counts as having the archive attribute;
// names that begin with "." are hidden; symbolic links count as what they point to. The listing
// is sorted by name, byte by byte.
class PosixFileSystem : public FileSystem {
 public:
  Status check_source_folder(const std::string& path) override;
  Result<std::vector<ListedEntry>> list_folder(const std::string& path,
                                               const std::string& report_path,
                                               const std::atomic<bool>* stop) override;
  Result<std::unique_ptr<InputFile>> open_input(const std::string& path) override;
  Result<std::unique_ptr<ReportFile>> create_report(const std::string& path) override;

 private:
  // The folder last listed, as its path was given, and a descriptor of it from that listing.
  struct Listed {
    std::string folder;
    UniqueFd dir;
    std::optional<std::string_view> entry(std::string_view path) const;
  };
  Listed listed_;
};

}  // namespace zentil
