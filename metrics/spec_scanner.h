// Counts the facts of one spec file, line by line, fed in chunks of any size.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "metrics/file_metrics.h"
#include "metrics/long_line.h"
#include "platform/file_system.h"

namespace zentil {

// Reads a spec file's bytes and leaves its FileMetrics (fileSize excepted) and its SpecKind.
// A line ends at CR or CR LF; a lone LF is an ordinary character. A last line without a
// terminator still counts; an empty file has no lines. One byte is one character.
//
// Use: begin(), feed() any number of times with consecutive chunks, finish(). The results do
// not depend on how the bytes are cut into chunks. A line that crosses a chunk boundary is held
// up to `long_line` bytes; a longer one is measured as it streams past, so memory stays bounded
// whatever the file, plus the level names of a transaction spec.
class SpecScanner {
 public:
  static constexpr std::size_t kDefaultLongLine = 64 * 1024;
  static constexpr std::size_t kMinLongLine = LongLine::kHeadSize;

  explicit SpecScanner(std::size_t long_line = kDefaultLongLine);

  void begin();
  void feed(std::string_view chunk);
  void finish();

  const FileMetrics& metrics() const { return metrics_; }
  SpecKind kind() const { return kind_; }

  // Classifies one complete line (no terminator). Public for tests and benchmarks of the rules.
  void scan_line(std::string_view line);

 private:
  struct TransparentHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };

  bool line_open() const { return !carry_.empty() || long_.active(); }
  void extend_open_line(std::string_view bytes);
  void close_open_line();
  template <typename Line>
  void scan(const Line& line);
  template <typename Line>
  void capture_level_name(const Line& line);
  template <typename Line>
  void match_table_attributes(const Line& line);

  FileMetrics metrics_;
  SpecKind kind_ = SpecKind::None;
  std::size_t long_line_;
  // The part of a line that the last chunk ended in, while it is short enough to hold.
  std::string carry_;
  // That line once it is too long to hold.
  LongLine long_;
  // A CR ended the last chunk: an LF at the start of the next one belongs to it.
  bool skip_lf_ = false;
  // Level names split at "?". Names 1..levelTables are counted in level_name_counts_ (table
  // lines look them up there); pieces split off beyond that wait in pending_pieces_.
  std::unordered_map<std::string, std::int64_t, TransparentHash, std::equal_to<>>
      level_name_counts_;
  std::deque<std::string> pending_pieces_;
  // No table name longer than this can equal a level name.
  std::size_t longest_level_name_ = 0;
};

// Scans the whole of `file` with `scanner`, reading into `buffer`. A read error stops the scan
// and is returned; it is never taken for the end of the file. Before each read it looks at
// `stop` (none when null): once set, it gives up with stopped_error().
Status scan_spec_file(InputFile& file, SpecScanner& scanner, std::span<char> buffer,
                      const std::atomic<bool>* stop = nullptr);

}  // namespace zentil
