// zentil.exe's window under Wine, through the system's own messages and keys: it opens with its
// caption and icon, its controls lie where the twips say at the window's DPI (and again after a
// change of DPI) with every caption whole, Tab follows the order, Enter and Escape start and
// end nothing, a chosen folder lands in txtPath, and a screen reader learns every control's
// name and hears the run's labels change. The form's logic is form_tests' part.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <oleacc.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/windows/wide_text.h"
#include "report/run_texts.h"
#include "support.h"
#include "ui/win32/dialog_seams.h"
#include "ui/win32/main_window.h"

namespace zentil::ui::win32 {
namespace {

// The system's annotation service as the window's thread finds it (registered for this
// apartment before any window): Wine's own answers E_NOTIMPL to every call, so this one keeps
// the names, descriptions and live settings the windows set, as Windows' oleacc would show them.
class Annotations final : public IAccPropServices, public IClassFactory {
 public:
  Annotations() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CoRegisterClassObject(CLSID_AccPropServices, static_cast<IClassFactory*>(this),
                          CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
  }
  ~Annotations() {
    CoRevokeClassObject(cookie_);
    CoUninitialize();
  }
  // A property of an object of a control: by default its client area itself.
  static std::string key(HWND control, const GUID& property, DWORD object = DWORD(OBJID_CLIENT),
                         DWORD child = CHILDID_SELF) {
    return std::string(reinterpret_cast<const char*>(&property), sizeof property) +
           std::to_string(reinterpret_cast<std::uintptr_t>(control)) + "/" +
           std::to_string(object) + "/" + std::to_string(child);
  }
  std::map<std::string, std::wstring> set;  // a number as decimal text
  int references = 0;                       // held by COM's class table and by the windows

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    *out = nullptr;
    if (id == IID_IClassFactory) *out = static_cast<IClassFactory*>(this);
    if (id == IID_IAccPropServices || id == IID_IUnknown)
      *out = static_cast<IAccPropServices*>(this);
    if (*out == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID id, void** out) override {
    return QueryInterface(id, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetHwndPropStr(HWND control, DWORD object, DWORD child,
                                           MSAAPROPID property, LPCWSTR text) override {
    set[key(control, property, object, child)] = text;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetHwndProp(HWND control, DWORD object, DWORD child,
                                        MSAAPROPID property, VARIANT value) override {
    set[key(control, property, object, child)] =
        value.vt == VT_I4 ? std::to_wstring(value.lVal) : L"?";
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND control, DWORD object, DWORD child,
                                           const MSAAPROPID* properties, int count) override {
    for (int i = 0; i < count; ++i) set.erase(key(control, properties[i], object, child));
    return S_OK;
  }
  // The rest of the interface, which the window does not use.
#define UNUSED(method, ...)                                \
  HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override { \
    return E_NOTIMPL;                                      \
  }
  UNUSED(SetPropValue, const BYTE*, DWORD, MSAAPROPID, VARIANT)
  UNUSED(SetPropServer, const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope)
  UNUSED(ClearProps, const BYTE*, DWORD, const MSAAPROPID*, int)
  UNUSED(SetHwndPropServer, HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope)
  UNUSED(ComposeHwndIdentityString, HWND, DWORD, DWORD, BYTE**, DWORD*)
  UNUSED(DecomposeHwndIdentityString, const BYTE*, DWORD, HWND*, DWORD*, DWORD*)
  UNUSED(SetHmenuProp, HMENU, DWORD, MSAAPROPID, VARIANT)
  UNUSED(SetHmenuPropStr, HMENU, DWORD, MSAAPROPID, LPCWSTR)
  UNUSED(SetHmenuPropServer, HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope)
  UNUSED(ClearHmenuProps, HMENU, DWORD, const MSAAPROPID*, int)
  UNUSED(ComposeHmenuIdentityString, HMENU, DWORD, BYTE**, DWORD*)
  UNUSED(DecomposeHmenuIdentityString, const BYTE*, DWORD, HMENU*, DWORD*)
#undef UNUSED

 private:
  DWORD cookie_ = 0;
};

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

  // What a screen reader reads of a control: the window's annotation, else what oleacc makes
  // of the control itself (MSAA) for its name and description, as on Windows.
  std::string read(HWND control, const GUID& property) const {
    if (auto it = annotations.set.find(Annotations::key(control, property));
        it != annotations.set.end()) {
      return to_utf8(it->second);
    }
    const bool name = property == PROPID_ACC_NAME;
    IAccessible* object = nullptr;
    if (!name && property != PROPID_ACC_DESCRIPTION) return "";
    if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_PPV_ARGS(&object)))) {
      return "(no IAccessible)";
    }
    VARIANT self{};
    self.vt = VT_I4;  // CHILDID_SELF
    BSTR text = nullptr;
    const HRESULT got =
        name ? object->get_accName(self, &text) : object->get_accDescription(self, &text);
    object->Release();
    const std::string result = FAILED(got) ? "(failed)" : text != nullptr ? to_utf8(text) : "";
    SysFreeString(text);
    return result;
  }

  Annotations annotations;  // before the window, which finds it when it is made
  MainWindow window;
  std::vector<std::string> messages;
};

// What a screen reader's in-context hook hears, by control and event ("Label2 live"): the
// control's text when the event comes.
std::map<std::string, std::vector<std::string>>* heard = nullptr;
void CALLBACK hear(HWINEVENTHOOK, DWORD event, HWND control, LONG object, LONG, DWORD, DWORD) {
  const auto index = static_cast<std::size_t>(GetDlgCtrlID(control) - MainWindow::kFirstId);
  const bool live = event == EVENT_OBJECT_LIVEREGIONCHANGED;
  if (heard == nullptr || object != OBJID_CLIENT || index >= kControls.size() ||
      (!live && event != EVENT_OBJECT_NAMECHANGE)) {
    return;
  }
  wchar_t text[128] = L"";
  GetWindowTextW(control, text, 128);
  (*heard)[std::string(kControls[index].name) + (live ? " live" : " name")].push_back(
      to_utf8(text));
}

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
    for (const auto& [which, metric] : {std::pair{ICON_SMALL, SM_CXSMICON}, {ICON_BIG, SM_CXICON}}) {
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

// What a screen reader reads of every control: a box is named by the caption before it, a "..."
// button by its annotations, the run's labels are polite (1) live regions; the annotations are
// cleared and the service released with the window.
TEST_F(Window, EveryControlIsNamedForAScreenReader) {
  const GUID live{0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
  const std::array<std::string, 4> rows[] = {
      // control, name, description, live setting
      {"txtPath", "Seleccione la carpeta de specs:", "", ""},
      {"cmdSalir", "Salir", "", ""},
      {"cmdGenerar", "Generar", "", ""},
      {"cmdAbrir", "Elegir la carpeta de specs",
       "Abre el selector de carpetas para elegir la carpeta de los archivos de specs.", ""},
      {"Label1", "", "", "1"},
      {"Label2", "Archivos procesados: 0", "", "1"},
      {"Label3", "Seleccione la carpeta de specs:", "", ""},
      {"Label4", "Seleccione la carpeta destino:", "", ""},
      {"txtDest", "Seleccione la carpeta destino:", "", ""},
      {"CmdDest", "Elegir la carpeta destino",
       "Abre el selector de carpetas para elegir la carpeta destino, donde se escribe el informe "
       "KBReport.csv.",
       ""},
  };
  for (const auto& row : rows) {
    const HWND control = named(row[0]);
    EXPECT_EQ((std::array{row[0], read(control, PROPID_ACC_NAME),
                          read(control, PROPID_ACC_DESCRIPTION), read(control, live)}),
              row);
  }
  const auto before = std::pair(annotations.references, annotations.set.size());
  { MainWindow another; }
  EXPECT_EQ(std::pair(annotations.references, annotations.set.size()), before);
}

// A run announces each text its labels show, those set before a message before it, once as a
// name change and once as a live region's change; "(message)" marks the closing messages.
TEST_F(Window, TheRunsLabelsAreAnnouncedAsTheyChange) {
  testing::TempDir dir;
  for (int i = 0; i < 14; ++i) dir.write("specs\\f" + std::to_string(i), "v_i(&x)\r\n");
  std::map<std::string, std::vector<std::string>> announced;
  seams::set_message_recorder([&](std::string_view) {
    for (auto& [event, texts] : announced) texts.push_back("(message)");
  });
  SetWindowTextW(named("txtPath"), to_wide(dir / "specs\\").c_str());
  SetWindowTextW(named("txtDest"), to_wide(dir / "KBReport.csv").c_str());
  heard = &announced;
  const HWINEVENTHOOK hook = SetWinEventHook(
      EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_LIVEREGIONCHANGED, GetModuleHandleW(nullptr), hear,
      GetCurrentProcessId(), 0, WINEVENT_INCONTEXT);
  SendMessageW(named("cmdGenerar"), BM_CLICK, 0, 0);
  for (int i = 0;
       i < 400 && (window.form().running() || text_of(named("Label2")) != texts::kProcessedIdle);
       ++i) {
    pump(50);
  }
  UnhookWinEvent(hook);
  heard = nullptr;
  const std::vector<std::string> status{std::string(texts::kWorking), "", "(message)", "(message)"};
  const std::vector<std::string> progress{"Archivos procesados: 10", "Archivos procesados: 14",
                                          "(message)", "(message)", "Archivos procesados: 0"};
  EXPECT_EQ(announced,
            (std::map<std::string, std::vector<std::string>>{{"Label1 live", status},
                                                             {"Label1 name", status},
                                                             {"Label2 live", progress},
                                                             {"Label2 name", progress}}));
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
