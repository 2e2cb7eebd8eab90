#include "platform/console.h"

#include <io.h>
#include <windows.h>

#include <algorithm>

#include "platform/windows/wide_text.h"

namespace zentil {
namespace {

HANDLE handle_of(std::FILE* stream) {
  return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
}

std::atomic<bool>* interrupt_stop = nullptr;

// Runs on a thread of its own. FALSE passes the event on to the default handler, which ends the
// program: for a second interrupt, and for a closed console or a logoff.
BOOL WINAPI on_console_event(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  return interrupt_stop->exchange(true) ? FALSE : TRUE;
}

}  // namespace

void prepare_command_line_program() {
  // A drive without its disk is an error to report, not a dialog that waits for someone.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  // Consoles that know terminal sequences (Windows 10 and later) clear the progress line's end.
  for (const DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    const HANDLE console = GetStdHandle(which);
    DWORD mode = 0;
    if (GetConsoleMode(console, &mode)) {
      SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
  }
}

void stop_on_interrupt(std::atomic<bool>& stop) {
  interrupt_stop = &stop;
  SetConsoleCtrlHandler(on_console_event, TRUE);
}

bool is_terminal(std::FILE* stream) {
  DWORD mode = 0;
  return GetConsoleMode(handle_of(stream), &mode) != 0;
}

bool write_text(std::FILE* stream, std::string_view text) {
  const HANDLE handle = handle_of(stream);
  DWORD mode = 0;
  if (!GetConsoleMode(handle, &mode)) {
    // Redirected: the code page that the command prompt and PowerShell decode a program's
    // output with; the stream's text mode turns "\n" into CR LF.
    const UINT code_page = GetConsoleOutputCP();
    const std::string bytes = to_code_page(to_wide(text), code_page != 0 ? code_page : GetACP());
    return std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
  }
  std::fflush(stream);
  std::wstring wide = to_wide(text);
  if (!(mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING)) {
    // An older console would print the sequence; the progress never shrinks within a run.
    for (auto at = wide.find(L"\x1b[K"); at != std::wstring::npos; at = wide.find(L"\x1b[K", at)) {
      wide.erase(at, 3);
    }
  }
  for (std::wstring_view rest = wide; !rest.empty();) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(rest.size(), 8192));
    if (!WriteConsoleW(handle, rest.data(), chunk, &written, nullptr) || written == 0) return false;
    rest.remove_prefix(written);
  }
  return true;
}

bool write_utf8_document(std::FILE* stream, std::string_view text) {
  if (is_terminal(stream)) return write_text(stream, text);
  return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

}  // namespace zentil
