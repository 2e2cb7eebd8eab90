// What the window's logic needs of a window: the front ends (Qt on Linux, Win32 on Windows) and
// the tests' fake implement it. Texts are UTF-8. Every call comes on the window's thread.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zentil::ui {

enum class Box { Path, Dest };          // txtPath, txtDest
enum class Label { Status, Progress };  // Label1, Label2

class FormView {
 public:
  virtual ~FormView() = default;

  virtual std::string text(Box box) const = 0;
  // Sets a box's text. As for typing, a change of the text then reaches the form's
  // txtPath_Change or txtDest_Change.
  virtual void set_text(Box box, const std::string& text) = 0;
  // Sets a label; the window shows it when it next paints.
  virtual void set_label(Label label, std::string_view text) = 0;
  // A modal box titled "Zentil" with an OK button only and no icon; returns once it is closed.
  virtual void show_message(std::string_view text) = 0;
  // The modal folder chooser over the window, with `prompt`; the chosen folder's absolute path
  // as the system gives it, or "" on a cancel.
  virtual std::string browse_for_folder(std::string_view prompt) = 0;
  // Closes the window, which ends the program.
  virtual void close() = 0;
  // Runs `task` on the window's thread as soon as it is free. Called from any thread; a task
  // posted to a window that is gone is dropped.
  virtual void post(std::function<void()> task) = 0;
};

}  // namespace zentil::ui
