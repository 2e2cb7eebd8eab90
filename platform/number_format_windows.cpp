#include "platform/number_format.h"

#include <windows.h>

#include "platform/windows/wide_text.h"

namespace zentil {

std::string user_decimal_separator() {
  wchar_t separator[8];  // the regional settings allow three characters
  const int n = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
  if (n <= 1) return ".";
  return to_utf8(std::wstring_view(separator, static_cast<std::size_t>(n - 1)));
}

}  // namespace zentil
