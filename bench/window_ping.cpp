// Asks zentil.exe's window, as Windows does before it calls a window "not responding", whether
// its thread answers: WM_NULL through SendMessageTimeoutW with SMTO_ABORTIFHUNG and 5 s. Every
// `interval` ms until the window is gone or `seconds` have passed, prints the time since start,
// how long the answer took (or "hung"), and the progress label's text, tab-separated.
//   window_ping.exe [seconds] [interval]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 600;
  const int interval = argc > 2 ? std::atoi(argv[2]) : 250;
  HWND window = nullptr;
  const ULONGLONG start = GetTickCount64();
  while (window == nullptr && GetTickCount64() - start < 30000) {
    window = FindWindowW(L"Zentil.frmPrincipal", L"Zentil Counter");
    if (window == nullptr) Sleep(100);
  }
  if (window == nullptr) return std::puts("no window"), 1;
  while (IsWindow(window) && GetTickCount64() - start < 1000ull * seconds) {
    const ULONGLONG asked = GetTickCount64();
    DWORD_PTR result = 0;
    const bool answered =
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
    const ULONGLONG took = GetTickCount64() - asked;
    // The progress label (Label2, control ID 105), read as any program may.
    wchar_t label[128] = L"";
    GetDlgItemTextW(window, 105, label, 128);
    if (answered) {
      std::printf("%llu\t%llu\t%ls\n", asked - start, took, label);
    } else {
      std::printf("%llu\thung\t%ls\n", asked - start, label);
    }
    std::fflush(stdout);
    Sleep(interval);
  }
  return 0;
}
