#pragma once

#include "platform/file_system.h"

namespace zentil {

// The file system of a POSIX system. Every regular file counts as having the archive attribute;
// names that begin with "." are hidden; symbolic links count as what they point to. The listing
// is sorted by name, byte by byte.
class PosixFileSystem : public FileSystem {
 public:
  Status check_source_folder(const std::string& path) override;
  Result<std::vector<ListedEntry>> list_folder(const std::string& path,
                                               const std::string& report_path) override;
  Result<std::unique_ptr<InputFile>> open_input(const std::string& path) override;
  Result<std::unique_ptr<ReportFile>> create_report(const std::string& path) override;
};

}  // namespace zentil
