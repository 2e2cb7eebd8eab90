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

namespace {

// A name as a report holds it, in UTF-16. A byte no character of the code page starts (or a cut
// double-byte one) becomes U+FFFD.
std::wstring report_name_to_wide(std::string_view bytes) {
  if (bytes.empty()) return {};
  const auto size = static_cast<int>(bytes.size());
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), size);
  wide.resize(static_cast<std::size_t>(std::max(n, 0)));
  return wide;
}

}  // namespace

std::string report_name_to_utf8(std::string_view bytes) {
  return to_utf8(report_name_to_wide(bytes));
}

bool file_names_ignore_case() {
  return true;
}

std::string report_name_key(std::string_view bytes) {
  // The upper-case mapping that the file systems' case-insensitive comparison uses.
  const std::wstring wide = report_name_to_wide(bytes);
  if (wide.empty()) return {};
  const auto size = static_cast<int>(wide.size());
  std::wstring upper(wide.size(), L'\0');
  const int n = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), size,
                              upper.data(), size, nullptr, nullptr, 0);
  if (n <= 0) return to_utf8(wide);
  upper.resize(static_cast<std::size_t>(n));
  return to_utf8(upper);
}

}  // namespace zentil
