// Text tests on spec lines: ASCII letters compare without regard to case, every other byte
// exactly. Patterns are written in lower case.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace zentil::fact_text {

constexpr unsigned char lower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c | 0x20) : c;
}

// A fact name prepared for comparison eight bytes at a time: OR-ing 0x20 into a byte of the line
// where the pattern has a letter makes both cases of that letter equal to it, and no other byte.
class Pattern {
 public:
  static constexpr std::size_t kMaxSize = 24;

  consteval Pattern(std::string_view text) : text_(text) {  // NOLINT: implicit by design
    if (text.size() > kMaxSize) throw "pattern too long";
    for (std::size_t i = 0; i < text.size(); ++i) {
      const auto c = static_cast<unsigned char>(text[i]);
      if (c >= 'A' && c <= 'Z') throw "patterns are written in lower case";
      const int shift = static_cast<int>(8 * (i % 8));
      bits_[i / 8] |= std::uint64_t{c} << shift;
      care_[i / 8] |= std::uint64_t{0xFF} << shift;
      if (c >= 'a' && c <= 'z') fold_[i / 8] |= std::uint64_t{0x20} << shift;
    }
  }

  template <std::size_t N>
  consteval Pattern(const char (&text)[N])  // NOLINT: implicit by design
      : Pattern(std::string_view(text, N - 1)) {}

  constexpr std::string_view text() const { return text_; }
  constexpr std::size_t size() const { return text_.size(); }

  // Whether the bytes at `p` begin with the pattern, compared eight at a time without a branch;
  // eight bytes for each started eight of the pattern must be there to read.
  [[gnu::always_inline]] bool starts_at(const char* p) const {
    if constexpr (std::endian::native != std::endian::little) {
      return starts(std::string_view(p, text_.size()));
    }
    std::uint64_t diff = 0;
    for (std::size_t w = 0; w < (text_.size() + 7) / 8; ++w) {
      std::uint64_t bytes;
      std::memcpy(&bytes, p + 8 * w, sizeof bytes);
      diff |= ((bytes | fold_[w]) ^ bits_[w]) & care_[w];
    }
    return diff == 0;
  }

  // Whether `line` begins with the pattern.
  [[gnu::always_inline]] bool starts(std::string_view line) const {
    if (line.size() < text_.size()) return false;
    const std::size_t words = (text_.size() + 7) / 8;
    if constexpr (std::endian::native == std::endian::little) {
      if (line.size() >= 8 * words) {
        for (std::size_t w = 0; w < words; ++w) {
          std::uint64_t bytes;
          std::memcpy(&bytes, line.data() + 8 * w, sizeof bytes);
          if (((bytes | fold_[w]) ^ bits_[w]) & care_[w]) return false;
        }
        return true;
      }
    }
    for (std::size_t i = 0; i < text_.size(); ++i) {
      if (lower(static_cast<unsigned char>(line[i])) != static_cast<unsigned char>(text_[i])) {
        return false;
      }
    }
    return true;
  }

 private:
  std::string_view text_;
  std::array<std::uint64_t, 3> bits_{};
  std::array<std::uint64_t, 3> care_{};
  std::array<std::uint64_t, 3> fold_{};
};

// Whether `line` begins with `pattern`, letters in any case.
[[gnu::always_inline]] inline bool begins_with(std::string_view line, const Pattern& pattern) {
  return pattern.starts(line);
}

// Whether `line` holds `pattern` anywhere, letters in any case. The pattern's last byte must be
// no letter: the search runs memchr for that byte, which is rare in spec lines ("]", "[" or
// ","), and compares the rest only where it stands.
[[gnu::always_inline]] inline bool contains(std::string_view line, const Pattern& pattern) {
  const std::size_t n = pattern.size();
  const char last = pattern.text().back();
  std::size_t from = n - 1;
  while (from < line.size()) {
    const void* hit = std::memchr(line.data() + from, last, line.size() - from);
    if (hit == nullptr) return false;
    const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - line.data());
    if (pattern.starts(line.substr(at + 1 - n))) return true;
    from = at + 1;
  }
  return false;
}

}  // namespace zentil::fact_text
