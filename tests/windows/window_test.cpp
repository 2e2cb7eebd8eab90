// zentil.exe's window under Wine, through the system's own messages and keys: it opens with its
// caption and icon, its controls lie where the twips say at the window's DPI (and again after a
// change of DPI) with every caption whole, Tab follows the order, Enter and Escape start and
// end nothing, and a chosen folder lands in txtPath. The form's logic is form_tests' part.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/windows/wide_text.h"
#include "ui/win32/dialog_seams.h"
#include "ui/win32/main_window.h"

namespace zentil::ui::win32 {
namespace {

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    seams::reset();
    seams::set_message_recorder([this](std::string_view text) { messages.emplace_back(text); });
    ASSERT_NE(window.hwnd(), nullptr);
    window.show(SW_SHOWNORMAL);
    SetForegroundWindow(window.hwnd());
    pump();
  }
  void TearDown() override { seams::reset(); }

  // The thread's messages through the window, as the program's loop takes them.
  void pump(DWORD ms = 150) {
    const ULONGLONG end = GetTickCount64() + ms;
    MSG msg;
    while (GetTickCount64() < end) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT) window.process(msg);
      }
      Sleep(5);
    }
  }
  // A key pressed and released on the keyboard, as the system's input.
  void key(WORD vk) {
    INPUT input[2]{};
    for (INPUT& i : input) i.type = INPUT_KEYBOARD, i.ki.wVk = vk;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(2, input, sizeof(INPUT)), 2u);
    pump();
  }
  HWND named(std::string_view name) const {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
      if (kControls[i].name == name) return window.control(static_cast<int>(i));
    }
    return nullptr;
  }
  std::string text_of(HWND control) const {
    wchar_t text[256] = L"";
    GetWindowTextW(control, text, 256);
    return to_utf8(text);
  }

  MainWindow window;
  std::vector<std::string> messages;
};

TEST_F(Window, OpensWithCaptionIconAndFocusInTxtPath) {
  EXPECT_EQ(text_of(window.hwnd()), "Zentil Counter");
  EXPECT_NE(GetClassLongPtrW(window.hwnd(), GCLP_HICON), 0);
  EXPECT_NE(GetClassLongPtrW(window.hwnd(), GCLP_HICONSM), 0);
  EXPECT_EQ(GetFocus(), named("txtPath"));
}

// Places, kinds, captions and the font, at the window's own DPI and after a move to a monitor
// of 144 dots per inch.
TEST_F(Window, ControlsSitWhereTheTwipsSayAndEveryCaptionFits) {
  for (const UINT dpi : {window.dpi(), 144u}) {
    SCOPED_TRACE(dpi);
    if (dpi != window.dpi()) {
      RECT suggested;
      GetWindowRect(window.hwnd(), &suggested);
      SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
    }
    const auto px = [dpi](int twips) { return MulDiv(twips, static_cast<int>(dpi), 1440); };
    // The caption's icons drawn for this DPI, not stretched from another size.
    for (const auto [which, metric] : {std::pair{ICON_SMALL, SM_CXSMICON}, {ICON_BIG, SM_CXICON}}) {
      ICONINFO info{};
      ASSERT_TRUE(GetIconInfo(
          reinterpret_cast<HICON>(SendMessageW(window.hwnd(), WM_GETICON, which, 0)), &info));
      BITMAP image{};
      GetObjectW(info.hbmColor, sizeof image, &image);
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
      EXPECT_EQ(image.bmWidth, GetSystemMetricsForDpi(metric, dpi)) << "icon " << which;
    }
    RECT client;
    GetClientRect(window.hwnd(), &client);
    EXPECT_EQ(client.right, px(kClientWidthTwips));
    EXPECT_EQ(client.bottom, px(kClientHeightTwips));
    for (std::size_t i = 0; i < kControls.size(); ++i) {
      const ControlLayout& c = kControls[i];
      SCOPED_TRACE(std::string(c.name));
      const HWND control = window.control(static_cast<int>(i));
      RECT at;
      GetWindowRect(control, &at);
      MapWindowPoints(nullptr, window.hwnd(), reinterpret_cast<POINT*>(&at), 2);
      EXPECT_EQ(at.left, px(c.left));
      EXPECT_EQ(at.top, px(c.top));
      EXPECT_EQ(at.right - at.left, px(c.width));
      EXPECT_EQ(at.bottom - at.top, px(c.height));

      wchar_t kind[32];
      GetClassNameW(control, kind, 32);
      const wchar_t* expected = c.kind == ControlKind::Label     ? L"Static"
                                : c.kind == ControlKind::TextBox ? L"Edit"
                                                                 : L"Button";
      EXPECT_EQ(lstrcmpiW(kind, expected), 0);
      EXPECT_EQ(text_of(control), c.caption);
      if (c.kind == ControlKind::Button) {  // no default button
        EXPECT_EQ(GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
      }

      // The 8-point dialog font at this DPI, and the caption whole inside the control.
      const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
      LOGFONTW style{};
      ASSERT_TRUE(GetObjectW(font, sizeof style, &style));
      EXPECT_EQ(style.lfHeight, -MulDiv(8, static_cast<int>(dpi), 72));
      EXPECT_STREQ(style.lfFaceName, L"MS Shell Dlg 2");
      const std::wstring caption = to_wide(c.caption);
      const HDC dc = GetDC(control);
      const HGDIOBJ old = SelectObject(dc, font);
      SIZE extent{};
      GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
      SelectObject(dc, old);
      ReleaseDC(control, dc);
      RECT inside;
      GetClientRect(control, &inside);
      const int frame = c.kind == ControlKind::Button ? 2 * MulDiv(3, dpi, 96) : 0;
      EXPECT_LE(extent.cx, inside.right - frame);
      EXPECT_LE(extent.cy, inside.bottom);
    }
  }
}

TEST_F(Window, TabFollowsTheOrder) {
  for (const char* next : {"cmdSalir", "cmdGenerar", "cmdAbrir", "txtDest", "CmdDest", "txtPath"}) {
    key(VK_TAB);
    EXPECT_EQ(GetFocus(), named(next)) << "expected " << next;
  }
}

// Neither key is any button's: Enter starts no run and Escape does not close the window.
TEST_F(Window, EnterAndEscapeInABoxDoNothing) {
  for (const char* box : {"txtPath", "txtDest"}) {
    SetFocus(named(box));
    key(VK_RETURN);
    key(VK_ESCAPE);
    ASSERT_TRUE(IsWindow(window.hwnd())) << box;
    EXPECT_FALSE(window.form().running()) << box;
    EXPECT_EQ(messages, std::vector<std::string>{}) << box;
    EXPECT_EQ(text_of(named(box)), "") << box;
  }
}

TEST_F(Window, ChosenFolderLandsInTxtPath) {
  seams::queue_folder_answer("C:\\x");
  SendMessageW(named("cmdAbrir"), BM_CLICK, 0, 0);
  pump();
  EXPECT_EQ(text_of(named("txtPath")), "C:\\x\\");
  EXPECT_EQ(window.form().sourcePath(), "C:\\x\\");
}

}  // namespace
}  // namespace zentil::ui::win32
