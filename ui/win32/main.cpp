// zentil.exe: the window over the report run.
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <objbase.h>

#include "ui/win32/main_window.h"

namespace {

// The shell's folder dialog needs a single-threaded COM apartment on the window's thread.
class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT result_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  const ComApartment com;
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  zentil::ui::win32::MainWindow window;
  if (window.hwnd() == nullptr) return 1;
  window.show(show);
  return zentil::ui::win32::run_message_loop(window);
}
