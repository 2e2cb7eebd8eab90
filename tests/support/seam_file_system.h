// The real file system, with what this platform cannot produce on demand: entries listed
// without the archive attribute, and opens, reads, report writes and saves that fail. Its
// settings are only read during a run, so several scanning threads may share it.
#pragma once

#include <memory>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace zentil::testing {

class SeamFileSystem final : public FileSystem {
 public:
  std::set<std::string> without_archive;  // entry names listed without the archive attribute
  std::string fail_open;                  // entry name whose open fails
  std::string fail_read;                  // entry name whose read fails after 20 bytes
  bool fail_write = false;                // every report write fails
  bool fail_commit = false;               // saving the report fails

  Status check_source_folder(const std::string& path) override;
  Result<std::vector<ListedEntry>> list_folder(const std::string& path,
                                               const std::string& report) override;
  Result<std::unique_ptr<InputFile>> open_input(const std::string& path) override;
  Result<std::unique_ptr<ReportFile>> create_report(const std::string& path) override;

 private:
  std::unique_ptr<FileSystem> real_ = make_system_file_system();
};

}  // namespace zentil::testing
