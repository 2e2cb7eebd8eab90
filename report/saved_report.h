// Reads back a report that this program wrote earlier, to compare a KB with itself over time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/file_system.h"
#include "report/kb_rows.h"

namespace zentil {

// The largest effective lines one row may hold, and the rows' sum, so that sums and differences
// never overflow; no KB comes near either.
inline constexpr std::int64_t kMaxRowLines = 1'000'000'000'000'000;        // 10^15
inline constexpr std::int64_t kMaxTotalLines = 1'000'000'000'000'000'000;  // 10^18

// Checks a report's bytes, fed in pieces of any size, and keeps its rows. A report is the
// program's own format: the header of 128 characters, then rows of 13 comma-separated fields
// (the name, which may hold commas, then twelve whole numbers), Windows-1252 (the system's ANSI
// code page on Windows), every line ended by CR LF or by LF alone. Names must be distinct as
// the system matches file names. The first fault stops the reading; its message names `path`,
// the line and what was expected there.
class SavedReportReader {
 public:
  explicit SavedReportReader(std::string path) : path_(std::move(path)) {}

  Status feed(std::string_view bytes);
  // The end of the bytes: the last line may lack its terminator.
  Status finish();

  // Once finished: the rows in the report's order, and their lines' sum.
  const std::vector<KbRow>& rows() const { return rows_; }
  std::vector<KbRow> take_rows() { return std::move(rows_); }
  std::int64_t lines() const { return lines_; }

 private:
  Status line(std::string_view text);
  Status header(std::string_view text) const;
  Status row(std::string_view text);
  Error at_line(std::string_view what) const;

  std::string path_;
  std::string pending_;  // a line not yet ended
  std::size_t line_number_ = 0;
  std::size_t blank_lines_ = 0;  // empty lines waiting: harmless only at the very end
  bool failed_ = false;
  std::vector<KbRow> rows_;
  std::int64_t lines_ = 0;
  std::unordered_map<std::string, std::size_t> lines_by_name_;  // name key -> line number
};

// Reads and checks the report at `path` through `fs` (SavedReportReader).
Result<std::vector<KbRow>> read_saved_report(FileSystem& fs, const std::string& path);

}  // namespace zentil
