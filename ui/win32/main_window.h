// The Win32 window over frmPrincipal: the ten controls at their places in twips turned into
// pixels at the window's DPI, the dialog font at that DPI, Tab through the dialog manager, the
// tasks that the form's run posts, run on the window's thread, and what a screen reader is told.
#pragma once

#include <windows.h>
// after windows.h
#include <oleacc.h>

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <type_traits>

#include "ui/form_layout.h"
#include "ui/frm_principal.h"
#include "ui/label_pacer.h"

namespace zentil::ui::win32 {

// The window's GDI font and its icons, each released with the call that matches it.
struct FontDeleter {
  void operator()(HFONT font) const { DeleteObject(font); }
};
struct IconDeleter {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct ComRelease {
  void operator()(IUnknown* object) const { object->Release(); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;
using UniqueAccPropServices = std::unique_ptr<IAccPropServices, ComRelease>;

class MainWindow final : public FormView {
 public:
  explicit MainWindow(FormSystem system = FormSystem::native());
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  void show(int how);
  HWND hwnd() const { return hwnd_; }
  // A control by its index in kControls; GetDlgCtrlID(control) - kFirstId is that index.
  HWND control(int index) const { return controls_[index]; }
  static constexpr int kFirstId = 100;  // never IDOK or IDCANCEL, which Enter and Escape send
  UINT dpi() const { return dpi_; }
  const frmPrincipal& form() const { return form_; }

  // One message of the thread's queue: during a run, keys and clicks aimed at the window are
  // dropped; otherwise the dialog manager (Tab) takes it or it is dispatched.
  void process(MSG& msg);

  // FormView
  std::string text(Box box) const override;
  void set_text(Box box, const std::string& text) override;
  void set_label(Label label, std::string_view text) override;
  void show_message(std::string_view text) override;
  std::string browse_for_folder(std::string_view prompt) override;
  void close() override;
  void post(std::function<void()> task) override;

 private:
  static LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
  void create_controls();
  void create_control(std::size_t index);
  void annotate_controls();
  void clear_annotations();
  void lay_out(UINT dpi, const RECT* suggested);
  void command(int index, int code);
  void run_tasks();
  bool is_blocked_input(const MSG& msg) const;
  // Shows a label's new text and announces it; shows the text its pacer holds back, if any.
  void show_label(Label label, const std::string& text);
  void show_held(Label label);

  std::mutex tasks_mutex_;
  std::deque<std::function<void()>> tasks_;  // guarded by tasks_mutex_
  bool task_message_posted_ = false;         // guarded by tasks_mutex_
  HWND hwnd_ = nullptr;                      // written under tasks_mutex_
  std::array<HWND, kControls.size()> controls_{};
  HWND focus_ = nullptr;  // the control that had the focus when the window was left
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  UniqueFont font_;
  UniqueIcon big_icon_;  // the caption's and the taskbar's, drawn for this DPI
  UniqueIcon small_icon_;
  // Names, descriptions and live regions for screen readers (dynamic annotation); none when
  // the system has no annotation service.
  UniqueAccPropServices annotations_;
  std::array<LabelPacer, 2> pacers_;  // Label1's and Label2's, by Label
  frmPrincipal form_;  // last: stops and waits for a run while the window's parts still exist
};

// The program's message loop; returns the exit code that PostQuitMessage gave.
int run_message_loop(MainWindow& window);

}  // namespace zentil::ui::win32
