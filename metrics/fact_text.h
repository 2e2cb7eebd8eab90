// Text tests on spec lines: ASCII letters compare without regard to case, every other byte
// exactly. Patterns are written in lower case.
#pragma once

#include <cstring>
#include <string_view>

namespace zentil::fact_text {

constexpr unsigned char lower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c | 0x20) : c;
}

// Whether `line` begins with the lower-case `pattern`, letters in any case.
inline bool begins_with(std::string_view line, std::string_view pattern) {
  if (line.size() < pattern.size()) return false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (lower(static_cast<unsigned char>(line[i])) != static_cast<unsigned char>(pattern[i])) {
      return false;
    }
  }
  return true;
}

// Whether `line` holds `letters` + `anchor`, where `anchor` has no letters: the search runs on
// the exact anchor with memmem and checks the letters before each hit.
inline bool contains(std::string_view line, std::string_view letters, std::string_view anchor) {
  std::size_t from = letters.size();
  while (from + anchor.size() <= line.size()) {
    const void* hit =
        ::memmem(line.data() + from, line.size() - from, anchor.data(), anchor.size());
    if (hit == nullptr) return false;
    const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - line.data());
    if (begins_with(line.substr(at - letters.size()), letters)) return true;
    from = at + 1;
  }
  return false;
}

}  // namespace zentil::fact_text
