#include "ui/win32/main_window.h"

#include <algorithm>
#include <chrono>

#include "platform/windows/wide_text.h"
#include "ui/win32/dialog_seams.h"
#include "ui/win32/module1.h"

namespace zentil::ui::win32 {
namespace {

constexpr wchar_t kClassName[] = L"Zentil.frmPrincipal";
// A fixed size, as nothing reacts to a resize; it can be moved, minimised and closed.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr UINT kRunTasks = WM_APP + 1;  // the form posted tasks
// Tasks run for at most this long before the window's other messages get their turn.
constexpr ULONGLONG kTaskSliceMs = 20;
constexpr int kIconResource = 1;
constexpr UINT_PTR kLabelTimer = 1;  // + Label: the pacer of that label holds a text

// UI Automation's LiveSetting property (uiautomationcoreapi.h), missing from MinGW-w64's
// headers, and its value Polite: a screen reader reads the label's new text once it is idle.
constexpr GUID kLiveSettingProperty{
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;
constexpr std::array kAnnouncedLabels{kLabel1, kLabel2};

int pixels(int twips, UINT dpi) {
  return MulDiv(twips, static_cast<int>(dpi), 1440);
}

// The icon's image closest to the size the system wants at this DPI (0: the system's DPI).
// Loaded per DPI, not shared: a shared icon keeps the size it was first loaded at.
HICON load_icon(int size_metric, UINT dpi = 0) {
  const auto metric = [&](int index) {
    return dpi == 0 ? GetSystemMetrics(index) : GetSystemMetricsForDpi(index, dpi);
  };
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource),
                                       IMAGE_ICON, metric(size_metric), metric(size_metric + 1),
                                       dpi == 0 ? LR_SHARED : 0));
}

std::wstring window_text(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), text.size())));
  return text;
}

HWND box_control(const std::array<HWND, kControls.size()>& controls, Box box) {
  return controls[box == Box::Path ? kTxtPath : kTxtDest];
}

ControlIndex label_index(Label label) {
  return label == Label::Status ? kLabel1 : kLabel2;
}

}  // namespace

MainWindow::MainWindow(FormSystem system) : form_(*this, std::move(system)) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  static const ATOM window_class = [&] {
    WNDCLASSEXW settings{};
    settings.cbSize = sizeof settings;
    settings.lpfnWndProc = &MainWindow::window_proc;
    settings.hInstance = instance;
    settings.hIcon = load_icon(SM_CXICON);
    settings.hIconSm = load_icon(SM_CXSMICON);
    settings.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    settings.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    settings.lpszClassName = kClassName;
    return RegisterClassExW(&settings);
  }();
  if (window_class == 0) return;
  // Made at no size; its size comes from the DPI of the monitor it lands on.
  CreateWindowExW(0, kClassName, to_wide(kWindowCaption).c_str(), kStyle, CW_USEDEFAULT,
                  CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, this);
  if (hwnd_ == nullptr) return;
  create_controls();
  annotate_controls();
  lay_out(GetDpiForWindow(hwnd_), nullptr);
}

MainWindow::~MainWindow() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

void MainWindow::show(int how) {
  ShowWindow(hwnd_, how);
  UpdateWindow(hwnd_);
  SetFocus(controls_[kTxtPath]);
}

void MainWindow::create_controls() {
  // Made in tab order, as the dialog manager's Tab follows the order of creation; but each
  // box's caption just before its box, as MSAA names a box after the label that precedes it.
  // Labels are no tab stops: Tab keeps its order.
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    for (const BoxCaption& caption : kBoxCaptions) {
      if (caption.box == static_cast<ControlIndex>(i) && controls_[caption.label] == nullptr) {
        create_control(caption.label);
      }
    }
    if (controls_[i] == nullptr) create_control(i);
  }
}

void MainWindow::create_control(std::size_t i) {
  const ControlLayout& layout = kControls[i];
  const wchar_t* window_class = L"BUTTON";
  DWORD style = WS_CHILD | WS_VISIBLE;
  DWORD extended = 0;
  switch (layout.kind) {
    case ControlKind::Label:
      window_class = L"STATIC";
      style |= SS_LEFT | SS_NOPREFIX;  // no access keys: an "&" is shown as written
      break;
    case ControlKind::TextBox:
      window_class = L"EDIT";
      style |= WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
      extended = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::Button:
      style |= WS_TABSTOP | BS_PUSHBUTTON;  // never the default button: Enter clicks none
      break;
  }
  controls_[i] =
      CreateWindowExW(extended, window_class, to_wide(layout.caption).c_str(), style, 0, 0, 0, 0,
                      hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + i)),
                      GetModuleHandleW(nullptr), nullptr);
}

// Dynamic annotation (oleacc): a "..." button gets a name and a description that say which
// folder it chooses, and the run's labels are polite live regions. Needs COM on this thread,
// which the program's main sets up.
void MainWindow::annotate_controls() {
  IAccPropServices* service = nullptr;
  if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IAccPropServices, reinterpret_cast<void**>(&service)))) {
    return;
  }
  annotations_.reset(service);
  for (const ButtonHelp& help : kButtonHelp) {
    const HWND button = controls_[help.button];
    service->SetHwndPropStr(button, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME,
                            to_wide(help.name).c_str());
    service->SetHwndPropStr(button, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_DESCRIPTION,
                            to_wide(help.description).c_str());
  }
  VARIANT polite{};
  polite.vt = VT_I4;
  polite.lVal = kPolite;
  for (const ControlIndex label : kAnnouncedLabels) {
    service->SetHwndProp(controls_[label], OBJID_CLIENT, CHILDID_SELF, kLiveSettingProperty,
                         polite);
  }
}

// Annotations live on as properties of the controls' windows: cleared before they go.
void MainWindow::clear_annotations() {
  if (!annotations_) return;
  const MSAAPROPID texts[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};
  for (const ButtonHelp& help : kButtonHelp) {
    annotations_->ClearHwndProps(controls_[help.button], OBJID_CLIENT, CHILDID_SELF, texts, 2);
  }
  for (const ControlIndex label : kAnnouncedLabels) {
    annotations_->ClearHwndProps(controls_[label], OBJID_CLIENT, CHILDID_SELF,
                                 &kLiveSettingProperty, 1);
  }
}

void MainWindow::lay_out(UINT dpi, const RECT* suggested) {
  dpi_ = dpi;
  const int width = pixels(kClientWidthTwips, dpi);
  const int height = pixels(kClientHeightTwips, dpi);
  RECT frame{0, 0, width, height};
  AdjustWindowRectExForDpi(&frame, kStyle, FALSE, 0, dpi);
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (suggested == nullptr) flags |= SWP_NOMOVE;
  SetWindowPos(hwnd_, nullptr, suggested ? suggested->left : 0, suggested ? suggested->top : 0,
               frame.right - frame.left, frame.bottom - frame.top, flags);
  // A frame drawn at another DPI than the one asked for (as Wine draws it) is made up for.
  RECT client;
  GetClientRect(hwnd_, &client);
  if (client.right != width || client.bottom != height) {
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left + width - client.right,
                 frame.bottom - frame.top + height - client.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  }

  // The 8-point dialog font at this DPI.
  UniqueFont font(CreateFontW(-MulDiv(8, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE,
                              FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                              L"MS Shell Dlg 2"));
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    const ControlLayout& c = kControls[i];
    SetWindowPos(controls_[i], nullptr, pixels(c.left, dpi), pixels(c.top, dpi),
                 pixels(c.width, dpi), pixels(c.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  }
  font_ = std::move(font);  // the old font goes once no control uses it

  // The icons drawn for this DPI; the old ones go once the window has let them go.
  UniqueIcon big(load_icon(SM_CXICON, dpi));
  UniqueIcon small(load_icon(SM_CXSMICON, dpi));
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
  big_icon_ = std::move(big);
  small_icon_ = std::move(small);
}

LRESULT CALLBACK MainWindow::window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    std::lock_guard lock(self->tasks_mutex_);
    self->hwnd_ = hwnd;
  } else if (message == WM_NCDESTROY && self != nullptr) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    std::lock_guard lock(self->tasks_mutex_);
    self->hwnd_ = nullptr;  // tasks posted from now on are dropped
    self->tasks_.clear();
    self->controls_.fill(nullptr);
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  if (self == nullptr || self->hwnd_ == nullptr)
    return DefWindowProcW(hwnd, message, wparam, lparam);
  return self->handle(message, wparam, lparam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND: {
      // Told apart by handle: Enter and Escape send IDOK and IDCANCEL with no control.
      const auto sender =
          std::find(controls_.begin(), controls_.end(), reinterpret_cast<HWND>(lparam));
      if (lparam != 0 && sender != controls_.end()) {
        command(static_cast<int>(sender - controls_.begin()), HIWORD(wparam));
      }
      return 0;
    }
    case kRunTasks:
      run_tasks();
      return 0;
    case WM_DPICHANGED:
      lay_out(HIWORD(wparam), reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_ACTIVATE:
      // Coming back to the window brings the focus back to the control that had it.
      if (LOWORD(wparam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd_, focus)) focus_ = focus;
      }
      break;
    case WM_SETFOCUS:
      SetFocus(focus_ != nullptr ? focus_ : controls_[kTxtPath]);
      return 0;
    case WM_CLOSE:
      // During a run the form stops it and closes the window once it has ended.
      if (form_.close_requested()) DestroyWindow(hwnd_);
      return 0;
    case WM_TIMER:
      if (wparam == kLabelTimer + static_cast<WPARAM>(Label::Status)) show_held(Label::Status);
      if (wparam == kLabelTimer + static_cast<WPARAM>(Label::Progress)) show_held(Label::Progress);
      return 0;
    case WM_DESTROY:
      clear_annotations();
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

void MainWindow::command(int index, int code) {
  switch (index) {
    case kCmdAbrir:
      if (code == BN_CLICKED) form_.cmdAbrir_Click();
      break;
    case kCmdDest:
      if (code == BN_CLICKED) form_.CmdDest_Click();
      break;
    case kCmdGenerar:
      if (code == BN_CLICKED) form_.cmdGenerar_Click();
      break;
    case kCmdSalir:
      if (code == BN_CLICKED) form_.cmdSalir_Click();
      break;
    case kTxtPath:
      if (code == EN_CHANGE) form_.txtPath_Change();
      break;
    case kTxtDest:
      if (code == EN_CHANGE) form_.txtDest_Change();
      break;
    default:
      break;
  }
}

bool MainWindow::is_blocked_input(const MSG& msg) const {
  if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
  const UINT m = msg.message;
  // System keys act on the frame (Alt+F4 asks to close), as the caption's buttons do.
  if (m >= WM_KEYFIRST && m <= WM_KEYLAST) {
    return m != WM_SYSKEYDOWN && m != WM_SYSKEYUP && m != WM_SYSCHAR;
  }
  if (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) return true;
  if (m >= WM_NCLBUTTONDOWN && m <= WM_NCXBUTTONDBLCLK) {
    // The caption still moves the window, and its buttons minimise and close it.
    const bool left = m == WM_NCLBUTTONDOWN || m == WM_NCLBUTTONUP || m == WM_NCLBUTTONDBLCLK;
    const WPARAM part = msg.wParam;
    return !(left &&
             (part == HTCAPTION || part == HTSYSMENU || part == HTMINBUTTON || part == HTCLOSE));
  }
  return false;
}

void MainWindow::process(MSG& msg) {
  if (hwnd_ != nullptr && form_.running() && is_blocked_input(msg)) return;
  if (hwnd_ != nullptr && IsDialogMessageW(hwnd_, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

int run_message_loop(MainWindow& window) {
  MSG msg{};
  for (;;) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) return 1;
    window.process(msg);
  }
}

void MainWindow::run_tasks() {
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard lock(tasks_mutex_);
      if (tasks_.empty()) {
        task_message_posted_ = false;
        return;
      }
      if (GetTickCount64() - start > kTaskSliceMs) {
        PostMessageW(hwnd_, kRunTasks, 0, 0);  // the rest after the messages already waiting
        return;
      }
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();  // may show a modal box, whose own loop may run further tasks
    if (hwnd_ == nullptr) return;
  }
}

void MainWindow::post(std::function<void()> task) {
  std::lock_guard lock(tasks_mutex_);
  if (hwnd_ == nullptr) return;  // the window is gone
  tasks_.push_back(std::move(task));
  if (!task_message_posted_) task_message_posted_ = PostMessageW(hwnd_, kRunTasks, 0, 0) != 0;
}

std::string MainWindow::text(Box box) const {
  return to_utf8(window_text(box_control(controls_, box)));
}

void MainWindow::set_text(Box box, const std::string& text) {
  // The box tells the window of the change (EN_CHANGE), which reaches the form.
  SetWindowTextW(box_control(controls_, box), to_wide(text).c_str());
}

void MainWindow::set_label(Label label, std::string_view text) {
  // At the pace of LabelPacer: a run of small files sets the progress line thousands of times a
  // second, more than anyone can read or a screen reader can say.
  LabelPacer& pacer = pacers_[static_cast<std::size_t>(label)];
  const LabelPacer::Clock::time_point now = LabelPacer::Clock::now();
  if (auto shown = pacer.set(std::string(text), now)) {
    show_label(label, *shown);
  } else {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(pacer.wait(now));
    SetTimer(hwnd_, kLabelTimer + static_cast<UINT_PTR>(label), static_cast<UINT>(wait.count()),
             nullptr);
  }
}

void MainWindow::show_held(Label label) {
  KillTimer(hwnd_, kLabelTimer + static_cast<UINT_PTR>(label));
  if (auto text = pacers_[static_cast<std::size_t>(label)].release(LabelPacer::Clock::now())) {
    show_label(label, *text);
  }
}

void MainWindow::show_label(Label label, const std::string& text) {
  const HWND control = controls_[label_index(label)];
  SetWindowTextW(control, to_wide(text).c_str());
  UpdateWindow(control);
  // Its name is its text; as a live region, a screen reader reads the new text out.
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
  NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, control, OBJID_CLIENT, CHILDID_SELF);
}

void MainWindow::show_message(std::string_view text) {
  // What the run set before the message is shown (and announced) before it.
  show_held(Label::Status);
  show_held(Label::Progress);
  if (seams::record_message(text)) return;
  MessageBoxW(hwnd_, to_wide(text).c_str(), L"Zentil", MB_OK);
}

std::string MainWindow::browse_for_folder(std::string_view prompt) {
  return BrowseForFolder(hwnd_, prompt);
}

void MainWindow::close() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

}  // namespace zentil::ui::win32
