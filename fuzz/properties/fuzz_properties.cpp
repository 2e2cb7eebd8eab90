#include "fuzz_properties.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <random>

#include <set>

#include "metrics/report_row.h"
#include "metrics/spec_pieces.h"
#include "metrics/spec_scanner.h"
#include "platform/encoding.h"
#include "report/saved_report.h"

namespace zentil::fuzz {
namespace {

// Feeds `bytes` to a scanner that holds lines up to `hold` bytes, in pieces of 1 to `most` bytes
// whose sizes `seed` draws, mostly tiny so that a CR and its LF often fall in different pieces;
// with seed 0, in pieces of `most` bytes.
std::string scan(std::string_view bytes, std::size_t most, std::uint32_t seed, std::size_t hold) {
  SpecScanner scanner(hold);
  scanner.begin();
  std::minstd_rand random(seed);
  while (!bytes.empty()) {
    const std::size_t piece =
        seed == 0 ? most
                  : 1 + random() % (random() % 4 == 0 ? most : std::min<std::size_t>(most, 4));
    scanner.feed(bytes.substr(0, piece));
    bytes.remove_prefix(std::min(piece, bytes.size()));
  }
  scanner.finish();
  return describe(scanner.metrics(), scanner.kind());
}

// A spec file held in memory, read at offsets.
class MemoryFile final : public InputFile {
 public:
  explicit MemoryFile(std::string_view bytes) : bytes_(bytes) {}
  Result<std::size_t> read(std::span<char>) override { return Error{"read() is not for pieces"}; }
  Result<std::int64_t> size() override { return std::ssize(bytes_); }
  std::int64_t size_for_pieces() override { return std::ssize(bytes_); }
  Result<std::size_t> read_at(std::span<char> buffer, std::int64_t offset) override {
    const std::string_view part = bytes_.substr(std::min<std::size_t>(offset, bytes_.size()));
    const std::size_t n = std::min(part.size(), buffer.size());
    std::copy_n(part.data(), n, buffer.data());
    return n;
  }

 private:
  std::string_view bytes_;
};

std::uint32_t byte_at(std::string_view s, std::size_t i) {
  return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u;
}

}  // namespace

std::string describe(const FileMetrics& m, SpecKind kind) {
  // The counters in the order FileMetrics declares them.
  static const char* const names[] = {"tables", "attrs",  "lines",  "size",   "deletes", "tattrs",
                                      "aprops", "tprops", "prints", "levels", "ltables", "rules",
                                      "drules", "prules", "cmds",   "vars"};
  const auto values = std::bit_cast<std::array<std::int64_t, std::size(names)>>(m);
  std::string text = kind == SpecKind::None ? "" : std::string(1, static_cast<char>(kind));
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i] == 0) continue;
    text += (text.empty() ? "" : " ") + (names[i] + ("=" + std::to_string(values[i])));
  }
  return text;
}

std::string counts(std::string_view bytes) {
  return scan(bytes, bytes.size(), 0, SpecScanner::kDefaultLongLine);
}

std::string counts_in_pieces(std::string_view bytes, std::size_t piece_size,
                             std::size_t read_size) {
  MemoryFile file(bytes);
  const PieceCut cut{std::ssize(bytes), static_cast<std::int64_t>(piece_size)};
  SpecScanner scanner;
  std::string buffer(read_size, '\0');
  SpecPiece piece;
  PieceJoin join;
  join.begin();
  for (std::size_t k = 0; k < cut.count(); ++k) {
    bool shrank = false;
    if (!scan_spec_piece(file, cut, k, scanner, buffer, nullptr, piece, shrank).ok() || shrank) {
      return "the piece could not be read";
    }
    if (piece.argument_cut) {
      if (!scan_spec_file_at_offsets(file, scanner, buffer, nullptr).ok()) return "no one pass";
      return describe(scanner.metrics(), scanner.kind());
    }
    join.add(piece);
  }
  join.finish();
  return describe(join.metrics(), join.kind());
}

std::string check_scanner(std::string_view input) {
  const std::size_t most = 1 + (byte_at(input, 0) | byte_at(input, 1) << 8) % 512;
  const std::uint32_t seed = byte_at(input, 2) | byte_at(input, 3) << 8;
  const std::string_view bytes = input.substr(std::min<std::size_t>(4, input.size()));
  // Lines longer than the hold are measured as they stream past: small holds make that happen
  // on small inputs too.
  const std::size_t hold = SpecScanner::kMinLongLine + seed % 97;
  const std::string whole = counts(bytes);
  // Cuts anywhere from every byte to past the end, read in as little as one byte at a time.
  const std::size_t piece = 1 + seed % (bytes.size() / 2 + 2), read = 1 + (seed >> 8) % most;
  for (const auto& [what, got] : {std::pair{"in pieces", scan(bytes, most, seed, hold)},
                                  {"bytewise", scan(bytes, 1, 0, SpecScanner::kMinLongLine)},
                                  {"cut and joined", counts_in_pieces(bytes, piece, read)}}) {
    if (got != whole) return std::string(what) + ": " + got + "\n  whole: " + whole;
  }
  return {};
}

std::string check_report_row(std::string_view input) {
  std::array<std::int64_t, 16> counters{};  // in the order FileMetrics declares them
  std::size_t at = 1;
  for (std::size_t i = 0; i < byte_at(input, 0) % 17 && at + 8 <= input.size(); ++i, at += 8) {
    std::uint64_t raw = 0;
    for (std::size_t k = 0; k < 8; ++k) raw |= std::uint64_t{byte_at(input, at + k)} << (8 * k);
    counters[i] = static_cast<std::int64_t>(raw) >> 24;  // far from the limits, as real counts
  }
  const std::string_view name = input.substr(std::min(at, input.size()));
  std::string row;
  append_report_row(row, name, std::bit_cast<FileMetrics>(counters));
  const auto commas = [](std::string_view s) { return std::count(s.begin(), s.end(), ','); };
  if (!row.ends_with("\r\n") || row.find_first_of("\r\n") != row.size() - 2) {
    return "the row is not one line ended by CR LF";
  }
  if (commas(row) != commas(name) + 12)
    return "the row has not 13 fields besides the name's commas";
  return {};
}

std::string check_saved_report(std::string_view input) {
  const std::size_t most = 1 + byte_at(input, 0) % 64;
  const std::string_view bytes = input.substr(std::min<std::size_t>(1, input.size()));
  // The rows or the message, as text; a row that breaks the rules makes the property fail.
  std::string broken;
  const auto read = [&](std::size_t piece) {
    SavedReportReader reader("r.csv");
    Status s;
    for (std::string_view rest = bytes; s.ok() && !rest.empty();) {
      s = reader.feed(rest.substr(0, piece));
      rest.remove_prefix(std::min(piece, rest.size()));
    }
    if (s.ok()) s = reader.finish();
    if (!s.ok()) return "error: " + s.error().message;
    std::string text;
    std::set<std::string> keys;
    std::int64_t sum = 0;
    const KbRows& rows = reader.rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (rows.name(i).empty() || !keys.insert(report_name_key(rows.name(i))).second) {
        broken = "a row without a name, or a name twice: " + std::string(rows.name(i));
      }
      sum += rows.lines(i);
      text += std::string(rows.name(i)) + "=" + std::to_string(rows.lines(i)) + "\n";
    }
    if (sum != rows.total()) broken = "the lines do not sum as reported";
    return text;
  };
  const std::string whole = read(bytes.size() + 1);
  if (!broken.empty()) return broken;
  for (const std::size_t piece : {most, std::size_t{1}}) {
    const std::string got = read(piece);
    if (got != whole)
      return "in pieces of " + std::to_string(piece) + ": " + got + "\n  whole: " + whole;
  }
  return {};
}

}  // namespace zentil::fuzz
