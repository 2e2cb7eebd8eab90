// Counts the facts of one spec file, line by line, fed in chunks of any size.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "metrics/file_metrics.h"
#include "metrics/level_names.h"
#include "metrics/long_line.h"
#include "platform/file_system.h"

namespace zentil {

// What the scan of one piece of a file leaves (SpecScanner::begin_piece()): the counts of its
// lines alone, and its level and table lines for the join of the pieces, which alone knows the
// kind declared before the piece and the level names captured before it.
struct SpecPiece {
  FileMetrics metrics;             // levelTables and tableAttributes stay 0: the join's
  SpecKind kind = SpecKind::None;  // as its last kind line declares
  bool kind_seen = false;          // whether it has a kind line
  // A table line too long to hold whose first argument was too long to keep: only a pass over
  // the whole file can tell what it adds.
  bool argument_cut = false;
  // Its level and table lines read while the kind was "T" or not yet known, in order
  // (metrics/transaction_lines.h).
  std::string transaction_lines;
};

// Reads a spec file's bytes and leaves its FileMetrics (fileSize excepted) and its SpecKind.
// A line ends at CR or CR LF; a lone LF is an ordinary character. A last line without a
// terminator still counts; an empty file has no lines. One byte is one character.
//
// Use: begin(), feed() any number of times with consecutive chunks, finish(). The results do
// not depend on how the bytes are cut into chunks. A line that crosses a chunk boundary is held
// up to `long_line` bytes; a longer one is measured as it streams past, so memory stays bounded
// whatever the file, plus the level names of a transaction spec.
//
// A piece of a file, cut at a line end, is scanned alike between begin_piece() and
// finish_piece(), for the join to settle (metrics/spec_pieces.h).
class SpecScanner {
 public:
  static constexpr std::size_t kDefaultLongLine = 64 * 1024;
  static constexpr std::size_t kMinLongLine = LongLine::kHeadSize;
  // In a piece, a table's first argument is kept up to this size in a line too long to hold.
  static constexpr std::size_t kPieceArgument = 64 * 1024;

  explicit SpecScanner(std::size_t long_line = kDefaultLongLine);

  void begin();
  void feed(std::string_view chunk);
  void finish();

  // A piece that starts the file, or starts just after a CR (an LF first is then that CR's).
  void begin_piece(bool after_cr);
  // Ends the piece (bytes after its last CR are the file's last line) and moves what it found
  // into `piece`, which gives its buffers back for the next one.
  void finish_piece(SpecPiece& piece);

  const FileMetrics& metrics() const { return metrics_; }
  SpecKind kind() const { return kind_; }

  // Classifies one complete line (no terminator). Public for tests and benchmarks of the rules.
  void scan_line(std::string_view line);

 private:
  bool line_open() const { return !carry_.empty() || long_.active(); }
  void extend_open_line(std::string_view bytes);
  void close_open_line();
  template <typename Line>
  void scan(const Line& line);
  void set_kind(SpecKind kind) {
    kind_ = kind;
    kind_seen_ = true;
    transaction_lines_ = kind == SpecKind::Transaction;
  }
  template <typename Line>
  void level_line(const Line& line);
  template <typename Line>
  void table_line(const Line& line);

  FileMetrics metrics_;
  SpecKind kind_ = SpecKind::None;
  bool kind_seen_ = false;
  // Level and table lines do more than count: in a transaction spec, or in a piece whose kind
  // is not known yet.
  bool transaction_lines_ = false;
  bool piece_ = false;
  bool argument_cut_ = false;
  std::string piece_lines_;  // a piece's level and table lines
  std::size_t long_line_;
  // The part of a line that the last chunk ended in, while it is short enough to hold.
  std::string carry_;
  // That line once it is too long to hold.
  LongLine long_;
  // A CR ended the last chunk: an LF at the start of the next one belongs to it.
  bool skip_lf_ = false;
  LevelNames levels_;
};

// Scans the whole of `file` with `scanner`, reading into `buffer`. A read error stops the scan
// and is returned; it is never taken for the end of the file. Before each read it looks at
// `stop` (none when null): once set, it gives up with stopped_error().
Status scan_spec_file(InputFile& file, SpecScanner& scanner, std::span<char> buffer,
                      const std::atomic<bool>* stop = nullptr);

}  // namespace zentil
