// Reads back a report that this program wrote earlier, to compare a KB with itself over time.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
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

  // Room for the rows of a report of `bytes` bytes (of a sensible size: a file of gigabytes is
  // no report, and is found so before it fills any such room).
  void reserve(std::size_t bytes) {
    bytes = std::min<std::size_t>(bytes, 64 << 20);
    rows_.reserve(bytes / 24, bytes / 2);
  }

  Status feed(std::string_view bytes);
  // The end of the bytes: the last line may lack its terminator.
  Status finish();

  // Once finished: the rows in the report's order.
  const KbRows& rows() const { return rows_; }
  KbRows take_rows() { return std::move(rows_); }

 private:
  Status line(std::string_view text);
  Status header(std::string_view text) const;
  Status row(std::string_view text);
  // One of the twelve numbers of a row; `column` counts from 0, the effective lines.
  Status number(std::string_view field, std::size_t column, std::int64_t& value) const;
  Error at_line(std::string_view what) const;

  std::string path_;
  std::string pending_;  // a line not yet ended
  std::size_t line_number_ = 0;
  std::size_t blank_lines_ = 0;  // empty lines waiting: harmless only at the very end
  bool failed_ = false;
  KbRows rows_;
};

// Reads and checks the report at `path` through `fs` (SavedReportReader).
Result<KbRows> read_saved_report(FileSystem& fs, const std::string& path);

}  // namespace zentil
