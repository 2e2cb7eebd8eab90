#include "cli/kb_numbers.h"

#include "platform/number_format.h"

namespace zentil {

std::string signed_count(std::int64_t difference) {
  return (difference >= 0 ? "+" : "") + std::to_string(difference);
}

std::string signed_score(std::int64_t difference, std::string_view decimal_separator) {
  return (difference >= 0 ? "+" : "") + format_score(difference, decimal_separator);
}

bool share_tenths(std::int64_t part, std::int64_t whole, std::int64_t& tenths) {
  if (whole == 0) return false;
  // In 128 bits: part * 1000 may not fit in 64.
  __extension__ using Wide = __int128;
  Wide numerator = Wide{part} * 1000;
  Wide denominator = whole;
  if (denominator < 0) numerator = -numerator, denominator = -denominator;
  const Wide half = denominator / 2;
  const Wide rounded =
      numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator);
  tenths = static_cast<std::int64_t>(rounded);
  return true;
}

std::string share_text(std::int64_t part, std::int64_t whole, std::string_view decimal_separator) {
  std::int64_t tenths = 0;
  if (!share_tenths(part, whole, tenths)) return "-";
  const std::int64_t magnitude = tenths < 0 ? -tenths : tenths;
  std::string text = tenths < 0 ? "-" : "";
  text += std::to_string(magnitude / 10);
  text += decimal_separator;
  text += std::to_string(magnitude % 10);
  return text + " %";
}

std::size_t text_width(std::string_view text) {
  std::size_t width = 0;
  for (const char c : text) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return width;
}

}  // namespace zentil
