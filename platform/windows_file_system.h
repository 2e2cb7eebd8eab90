#pragma once

#include <optional>
#include <string_view>

#include "platform/file_system.h"

namespace zentil {

// The file system of Windows, through its UTF-16 calls and "\\?\" paths of any length. The
// listing leaves out folders, hidden and system files, keeps each file's archive attribute, and
// is sorted as NTFS sorts: by ordinal comparison ignoring case. Spec files are opened by their
// names exactly as listed ("nul.spc" is no device, "a." keeps its dot).
class WindowsFileSystem final : public FileSystem {
 public:
  Status check_source_folder(const std::string& path) override;
  Result<std::vector<ListedEntry>> list_folder(const std::string& path,
                                               const std::string& report_path,
                                               const std::atomic<bool>* stop) override;
  Result<std::unique_ptr<InputFile>> open_input(const std::string& path) override;
  Result<std::unique_ptr<ReportFile>> create_report(const std::string& path) override;
};

// The listing's rules, on their own. The archive flag of an entry with `attributes`, or nothing
// when the listing leaves it out (folders, hidden and system files).
std::optional<bool> listed_archive(unsigned long attributes);

// Whether name `a` comes before `b`: ordinal comparison ignoring case, then, for names that
// differ in case alone (a case-sensitive folder), ordinal comparison.
bool listed_before(std::wstring_view a, std::wstring_view b);

}  // namespace zentil
