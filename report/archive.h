// Keeps a copy of each release's report in a folder of its own, for a history to be drawn from.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace zentil {

// What in `label` no file name may hold on Windows or Linux (< > : " / \ | ? * or a control
// character), as the user is told of it, or none when a file name may hold every character.
std::optional<std::string> label_fault(std::string_view label);

// Today's date in local time, "AAAA-MM-DD": the label of a release that is given none.
std::string today_label();

// The copy's name: the report's name without ".csv", "-", the label and ".csv" (for
// "KBReport.csv" and "1.4", "KBReport-1.4.csv").
std::string archive_name(std::string_view report_path, std::string_view label);

// Copies the report at `report_path` into `folder` (made when missing) as archive_name(), the way
// the report is written: to a temporary file, flushed, renamed. A copy of that name is replaced,
// but with `dated` (a label that only says the day) it is kept and this one gets "-2", "-3", …
// after the label, one more than the highest there. Returns the copy's path.
Result<std::string> archive_report(FileSystem& fs, const std::string& report_path,
                                   const std::string& folder, const std::string& label, bool dated);

}  // namespace zentil
