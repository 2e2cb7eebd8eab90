// frmPrincipal: the logic of the program's only window, written once for every toolkit. It holds
// the two paths, answers the window's six events and runs the report on a thread of its own, so
// that the window keeps painting and answering the system while a run goes on. The front ends
// turn their toolkit's events into these calls and draw what the form asks through FormView.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/file_system.h"
#include "ui/form_view.h"

namespace zentil::ui {

// What the form takes from the system; tests put their own pieces in.
struct FormSystem {
  std::string separator;                                        // appended to a chosen folder
  std::function<std::string()> current_directory;               // where a report goes by default
  std::function<std::string(const std::string&)> to_core_path;  // a box's text as a path
  std::function<std::unique_ptr<FileSystem>()> file_system;
  std::function<std::string()> decimal_separator;  // of the score in the closing message
  unsigned jobs = 0;                               // files scanned at once; 0: one per core

  // This system's: its separator, file system and locale; paths are taken as typed.
  static FormSystem native();
};

class frmPrincipal {
 public:
  explicit frmPrincipal(FormView& view, FormSystem system = FormSystem::native());
  // A run still going on is stopped and waited for.
  ~frmPrincipal();
  frmPrincipal(const frmPrincipal&) = delete;
  frmPrincipal& operator=(const frmPrincipal&) = delete;

  // The source folder; outside cmdAbrir_Click always the text of txtPath.
  const std::string& sourcePath() const { return sourcePath_; }
  // The report file; outside CmdDest_Click always the text of txtDest.
  const std::string& reportPath() const { return reportPath_; }

  // The window's events. While a run goes on the window takes no input: the clicks are ignored.
  void cmdAbrir_Click();
  void CmdDest_Click();
  void txtPath_Change();
  void txtDest_Change();
  // Starts the report over the window's state and returns at once; the labels and the closing
  // messages come through the view as the run gives them, and running() is false again once
  // the window is back at rest.
  void cmdGenerar_Click();
  void cmdSalir_Click();
  // The window's close button: true when the window may close now, at rest. During a run it
  // answers false, the run stops wherever it is (in the listing, between two reads of a file)
  // leaving any earlier report as it was, and the form closes the view once the run has ended.
  bool close_requested();

  bool running() const { return run_ != nullptr; }

  // What a run shares with its thread and the tasks it posts (defined with the form's code).
  struct RunState;

 private:
  void run_ended();

  FormView& view_;
  const FormSystem system_;
  std::string sourcePath_;
  std::string reportPath_;
  std::shared_ptr<RunState> run_;  // shared with the tasks the run posts
  std::thread worker_;
  bool close_after_run_ = false;
};

}  // namespace zentil::ui
