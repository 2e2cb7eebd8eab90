#include "platform/number_format.h"

#include <cstdio>
#include <cstdlib>

namespace zentil {

std::string format_score(std::int64_t kb_score, std::string_view decimal_separator) {
  const std::uint64_t magnitude = kb_score < 0 ? 0 - static_cast<std::uint64_t>(kb_score)
                                               : static_cast<std::uint64_t>(kb_score);
  std::string text = kb_score < 0 ? "-" : "";
  if (magnitude < 1'000'000'000'000'000ULL) {
    // Below 10^15 every quotient has at most 15 significant digits: the exact decimal is what a
    // 15-digit conversion of the double would print.
    text += std::to_string(magnitude / 100);
    unsigned cents = static_cast<unsigned>(magnitude % 100);
    if (cents != 0) {
      text += decimal_separator;
      text += static_cast<char>('0' + cents / 10);
      if (cents % 10 != 0) text += static_cast<char>('0' + cents % 10);
    }
    return text;
  }
  // Beyond that the double's rounding to 15 significant digits decides; from 10^15 on the
  // quotient is written in scientific form ("9,22337203685478E+16").
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14e", static_cast<double>(magnitude) / 100.0);
  const std::string_view s = buffer;
  const auto e = s.find('e');
  std::string digits = std::string(s.substr(0, 1)) + std::string(s.substr(2, e - 2));
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int exponent = std::atoi(buffer + e + 1);
  if (exponent < 15) {
    const auto whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      text += digits + std::string(whole - digits.size(), '0');
    } else {
      text += digits.substr(0, whole);
      text += decimal_separator;
      text += digits.substr(whole);
    }
    return text;
  }
  text += digits.substr(0, 1);
  if (digits.size() > 1) {
    text += decimal_separator;
    text += digits.substr(1);
  }
  text += "E+";
  text += std::to_string(exponent);
  return text;
}

}  // namespace zentil
