#include "platform/system_error.h"

#include <windows.h>

#include "platform/windows/wide_text.h"

namespace zentil {

std::string system_reason(SystemErrorCode code) {
  wchar_t* text = nullptr;
  // Language 0: the user's language, else the system's, else English. Line breaks become
  // spaces, so the reason stays on the message's one line.
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (n == 0 || text == nullptr) return "error del sistema " + std::to_string(code);
  std::wstring_view reason(text, n);
  // Without the closing full stop, like the POSIX wording and the rest of the message.
  while (!reason.empty() && (reason.back() == L' ' || reason.back() == L'\r' ||
                             reason.back() == L'\n' || reason.back() == L'.')) {
    reason.remove_suffix(1);
  }
  std::string result = to_utf8(reason);
  LocalFree(text);
  return result;
}

}  // namespace zentil
