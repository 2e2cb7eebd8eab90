// Numbers as the summaries and comparisons write them, exact: the score is effective lines / 100
// and a share is worked out in whole numbers, never summed from rounded parts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zentil {

// A difference of counts with its sign always shown: "+5", "-3", "+0".
std::string signed_count(std::int64_t difference);

// A difference of effective lines as a difference of scores (hundredths), sign always shown:
// "+0.24", "-1", "+0" (with `decimal_separator`).
std::string signed_score(std::int64_t difference, std::string_view decimal_separator);

// `part` as a share of `whole` in tenths of a percent, rounded half away from zero; nothing to
// share when `whole` is 0.
bool share_tenths(std::int64_t part, std::int64_t whole, std::int64_t& tenths);

// The share as text, one decimal: "56.9 %" ("56,9 %" with a comma), or "-" when `whole` is 0.
std::string share_text(std::int64_t part, std::int64_t whole, std::string_view decimal_separator);

// The number of characters of UTF-8 `text` (code points), for aligning columns.
std::size_t text_width(std::string_view text);

}  // namespace zentil
