// How the scan of a piece of a file writes down its level and table lines for the join of the
// pieces (metrics/spec_pieces.h), compactly: never more bytes than the lines themselves.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zentil::transaction_lines {

// The first byte of each line: what it is.
enum : unsigned char {
  kLevelLine = 0,
  kTableLine = 1,
  kBeforeKind = 2,  // read before the piece's first kind line
};

struct Line {
  unsigned char what;
  std::string_view name;  // a level's name, or a table's first argument
  std::int64_t commas;    // of a table's attribute list
};

// Seven bits a byte, the last byte without its high bit.
inline void append_number(std::string& out, std::uint64_t n) {
  for (; n >= 0x80; n >>= 7) out += static_cast<char>(0x80 | (n & 0x7F));
  out += static_cast<char>(n);
}

inline std::uint64_t read_number(std::string_view text, std::size_t& at) {
  std::uint64_t n = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(text[at++]);
    n |= std::uint64_t{byte & 0x7Fu} << shift;
    if (byte < 0x80) return n;
  }
}

inline void append(std::string& out, unsigned char what, std::string_view name,
                   std::int64_t commas) {
  out += static_cast<char>(what);
  append_number(out, name.size());
  out += name;
  if (what & kTableLine) append_number(out, static_cast<std::uint64_t>(commas));
}

// The line written at `at`, which then moves past it.
inline Line next(std::string_view text, std::size_t& at) {
  Line line{static_cast<unsigned char>(text[at++]), {}, 0};
  const auto size = static_cast<std::size_t>(read_number(text, at));
  line.name = text.substr(at, size);
  at += size;
  if (line.what & kTableLine) line.commas = static_cast<std::int64_t>(read_number(text, at));
  return line;
}

}  // namespace zentil::transaction_lines
