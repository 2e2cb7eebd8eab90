#include "metrics/spec_pieces.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string_view>

#include "metrics/transaction_lines.h"

namespace zentil {
namespace {

// Past its end a piece reads this much at first, twice as much each time after: its last line
// nearly always ends within a few bytes, and the bytes beyond are the next piece's to read.
constexpr std::size_t kFirstProbe = 4 * 1024;

// A file's own reads, made at offsets from its start.
class OffsetReads final : public InputFile {
 public:
  explicit OffsetReads(InputFile& file) : file_(file) {}
  Result<std::size_t> read(std::span<char> buffer) override {
    Result<std::size_t> n = file_.read_at(buffer, at_);
    if (n.ok()) at_ += static_cast<std::int64_t>(*n);
    return n;
  }
  Result<std::int64_t> size() override { return file_.size(); }

 private:
  InputFile& file_;
  std::int64_t at_ = 0;
};

}  // namespace

Status scan_spec_piece(InputFile& file, const PieceCut& cut, std::size_t index,
                       SpecScanner& scanner, std::span<char> buffer, const std::atomic<bool>* stop,
                       SpecPiece& piece, bool& shrank) {
  const std::int64_t start = static_cast<std::int64_t>(index) * cut.piece_size;
  const std::int64_t next = std::min(start + cut.piece_size, cut.size);  // the next piece's start
  std::int64_t at = start;  // where the next read starts
  // Reads from `at` up to `limit`; what it read ends at the new `at`. Nothing read before the
  // size at the open means that the file shrank.
  const auto read = [&](std::int64_t limit) -> Result<std::string_view> {
    if (stop_requested(stop)) return stopped_error();
    const auto want = static_cast<std::size_t>(
        std::min<std::int64_t>(limit - at, static_cast<std::int64_t>(buffer.size())));
    Result<std::size_t> n = file.read_at(buffer.first(want), at);
    if (!n.ok()) return n.error();
    if (*n == 0) shrank = true;
    at += static_cast<std::int64_t>(*n);
    return std::string_view(buffer.data(), *n);
  };

  std::string_view bytes;  // read and not yet scanned; they end at `at`
  // The first line is the piece before's, up to the first CR from the start on.
  scanner.begin_piece(index > 0);
  for (bool found = index == 0; !found;) {
    if (at >= next) {  // no CR: no line ends in this piece
      scanner.finish_piece(piece);
      return {};
    }
    Result<std::string_view> read_bytes = read(next);
    if (!read_bytes.ok()) return read_bytes.error();
    if (shrank) return {};
    const void* cr = std::memchr(read_bytes->data(), '\r', read_bytes->size());
    found = cr != nullptr;
    if (found) bytes = read_bytes->substr(static_cast<const char*>(cr) + 1 - read_bytes->data());
  }

  // Then every line up to the first whose CR stands at the next piece's start or after it.
  // Reads stop at that start, so bytes read lie wholly before it or wholly after.
  for (std::size_t probe = kFirstProbe;;) {
    if (at > next) {
      if (const void* cr = std::memchr(bytes.data(), '\r', bytes.size())) {
        scanner.feed(bytes.substr(0, static_cast<const char*>(cr) + 1 - bytes.data()));
        break;
      }
    }
    scanner.feed(bytes);
    if (at >= cut.size) break;  // the file's end: its last line is this piece's
    std::int64_t limit = next;
    if (at >= next) {
      limit = std::min(at + static_cast<std::int64_t>(probe), cut.size);
      probe = std::min(2 * probe, buffer.size());
    }
    Result<std::string_view> read_bytes = read(limit);
    if (!read_bytes.ok()) return read_bytes.error();
    if (shrank) return {};
    bytes = *read_bytes;
  }
  scanner.finish_piece(piece);
  return {};
}

Status scan_spec_file_at_offsets(InputFile& file, SpecScanner& scanner, std::span<char> buffer,
                                 const std::atomic<bool>* stop) {
  OffsetReads reads(file);
  return scan_spec_file(reads, scanner, buffer, stop);
}

void PieceJoin::begin() {
  metrics_ = FileMetrics{};
  kind_ = SpecKind::None;
  levels_.clear();
}

void PieceJoin::add(const SpecPiece& piece) {
  using namespace transaction_lines;
  const bool transaction = kind_ == SpecKind::Transaction;
  const std::string_view lines = piece.transaction_lines;
  for (std::size_t at = 0; at < lines.size();) {
    const Line line = next(lines, at);
    if ((line.what & kBeforeKind) != 0 && !transaction) continue;
    if ((line.what & kTableLine) != 0) {
      metrics_.tableAttributes += line.commas * levels_.count(line.name);
    } else {
      levels_.capture(line.name);
      ++metrics_.levelTables;
    }
  }
  using Counters = std::array<std::int64_t, sizeof(FileMetrics) / sizeof(std::int64_t)>;
  Counters sum = std::bit_cast<Counters>(metrics_);
  const Counters more = std::bit_cast<Counters>(piece.metrics);
  for (std::size_t i = 0; i < sum.size(); ++i) sum[i] += more[i];
  metrics_ = std::bit_cast<FileMetrics>(sum);
  if (piece.kind_seen) kind_ = piece.kind;
}

void PieceJoin::finish() {
  settle_print_blocks(metrics_, kind_);
}

}  // namespace zentil
