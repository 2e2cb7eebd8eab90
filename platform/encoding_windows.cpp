#include "platform/encoding.h"

#include <windows.h>

#include <algorithm>

#include "platform/windows/wide_text.h"

namespace zentil {

void append_report_name(std::string& out, std::string_view name) {
  std::wstring wide;
  const bool ascii = std::all_of(name.begin(), name.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  // Every ANSI code page holds ASCII as it is; a name that is no UTF-8 goes out as it came.
  if (ascii || !to_wide(name, wide)) {
    const std::size_t start = out.size();
    out.append(name);
    std::replace_if(
        out.begin() + static_cast<std::ptrdiff_t>(start), out.end(),
        [](char c) { return c == '\r' || c == '\n'; }, '?');
    return;
  }
  std::replace_if(
      wide.begin(), wide.end(), [](wchar_t c) { return c == L'\r' || c == L'\n'; }, L'?');
  out += to_code_page(wide, GetACP());
}

}  // namespace zentil
