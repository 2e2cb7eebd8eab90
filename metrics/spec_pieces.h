// One spec file scanned in pieces, on several threads at once, and the pieces joined into what
// one pass over the whole file gives.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>

#include "metrics/file_metrics.h"
#include "metrics/level_names.h"
#include "metrics/spec_scanner.h"
#include "platform/file_system.h"

namespace zentil {

// How large files are cut when several threads scan: a file of at least `min_size` bytes is
// scanned in pieces of `piece_size` bytes by all of them at once.
struct PieceSettings {
  std::int64_t piece_size = 1 << 20;
  std::int64_t min_size = 4 << 20;
};

// Where a file of `size` bytes is cut, in pieces of `piece_size` bytes: piece k holds the lines
// whose CR stands in [k * piece_size, (k + 1) * piece_size), but its first, which ends at the
// first of those CRs and belongs to the piece before, and with the first line whose CR stands
// after them; the first piece starts the file, the last one ends it. A piece may hold no line.
struct PieceCut {
  std::int64_t size = 0;
  std::int64_t piece_size = 0;

  std::size_t count() const {
    return size <= 0 ? 1 : static_cast<std::size_t>((size + piece_size - 1) / piece_size);
  }
};

// Scans piece `index` of `file` (whose size at the open is cut.size) with `scanner`, reading
// at offsets into `buffer`, into `piece`. Before each read it looks at `stop` (none when null):
// once set, it gives up with stopped_error(). Sets `shrank` when the file ends before its size
// at the open: it changed while it was scanned, and the pieces do not fit together.
Status scan_spec_piece(InputFile& file, const PieceCut& cut, std::size_t index,
                       SpecScanner& scanner, std::span<char> buffer, const std::atomic<bool>* stop,
                       SpecPiece& piece, bool& shrank);

// Scans the whole of `file` in one pass from its start, reading at offsets (the file's own
// reads may have been moved by them).
Status scan_spec_file_at_offsets(InputFile& file, SpecScanner& scanner, std::span<char> buffer,
                                 const std::atomic<bool>* stop);

// Joins the pieces of one file, in file order. What their level and table lines add is settled
// here: they count only in a transaction spec, by the kind declared before each piece (or
// within it, before them), and tables match the level names captured before them.
class PieceJoin {
 public:
  void begin();
  void add(const SpecPiece& piece);
  // After the last piece: print blocks are kept only by a procedure or a report.
  void finish();

  const FileMetrics& metrics() const { return metrics_; }
  SpecKind kind() const { return kind_; }

 private:
  FileMetrics metrics_;
  SpecKind kind_ = SpecKind::None;
  LevelNames levels_;
};

}  // namespace zentil
