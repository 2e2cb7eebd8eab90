#include "platform/windows/system_path.h"

#include <windows.h>

#include "platform/windows/wide_text.h"

namespace zentil {

std::wstring system_path(std::string_view path) {
  const std::wstring wide = to_wide(path);
  if (wide.starts_with(LR"(\\?\)")) return wide;
  // What the system would do to a short path: relative parts resolved, "/" made "\".
  std::wstring full(wide.size() + MAX_PATH, L'\0');
  for (;;) {
    const DWORD n =
        GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0) return wide;  // the call that takes it reports what is wrong with it
    const bool fits = n < full.size();
    full.resize(n);
    if (fits) break;
  }
  if (full.starts_with(LR"(\\.\)") || full.starts_with(LR"(\\?\)")) return full;
  if (full.starts_with(LR"(\\)")) return LR"(\\?\UNC\)" + full.substr(2);
  return LR"(\\?\)" + full;
}

std::wstring entry_path(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\/:") + 1;  // 0 when there is no folder part
  std::wstring folder = system_path(std::string(path.substr(0, cut)) + "*");
  folder.pop_back();
  return folder + to_wide(path.substr(cut));
}

std::wstring folder_of(std::wstring_view full_path) {
  const std::size_t slash = full_path.rfind(L'\\');
  if (slash == std::wstring_view::npos) return {};
  const std::wstring_view folder = full_path.substr(0, slash);
  return std::wstring(folder.ends_with(L':') ? full_path.substr(0, slash + 1) : folder);
}

std::wstring_view name_of(std::wstring_view full_path) {
  const std::size_t slash = full_path.rfind(L'\\');
  return slash == std::wstring_view::npos ? full_path : full_path.substr(slash + 1);
}

}  // namespace zentil
