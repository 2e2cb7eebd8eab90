#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zentil {

// kbScore / 100 as the user reads it: at most 15 significant digits, no trailing zeros, no
// separator when whole, a "0" before the separator below 1, a "-" when negative, and
// `decimal_separator` between the whole and the fractional part.
std::string format_score(std::int64_t kb_score, std::string_view decimal_separator);

// The decimal separator of the user's numeric locale: LC_ALL, LC_NUMERIC or LANG on POSIX
// systems, the regional settings on Windows; "." when the locale is unknown or not installed.
std::string user_decimal_separator();

}  // namespace zentil
