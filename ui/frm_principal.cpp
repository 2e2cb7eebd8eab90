#include "ui/frm_principal.h"

#include <condition_variable>
#include <mutex>
#include <utility>

#include "platform/number_format.h"
#include "report/report_run.h"
#include "report/run_observer.h"

namespace zentil::ui {
namespace {

constexpr std::string_view kReportName = "KBReport.csv";
constexpr std::string_view kSourcePrompt = "Seleccione la carpeta de specs:";
constexpr std::string_view kDestPrompt = "Seleccione la carpeta destino:";
// How the window's user tries again, e.g. once the program that holds the report has let it go.
constexpr std::string_view kRetry = "vuelva a pulsar «Generar»";

}  // namespace

FormSystem FormSystem::native() {
  FormSystem system;
  system.separator = std::string(kPathSeparator);
  system.current_directory = [] { return zentil::current_directory(); };
  system.to_core_path = [](const std::string& text) { return text; };
  system.file_system = [] { return make_system_file_system(); };
  system.decimal_separator = [] { return user_decimal_separator(); };
  return system;
}

// What a run shares with the tasks it posts to the window's thread. `form` is read and cleared
// on the window's thread only, so a task that comes after the form is gone does nothing.
struct frmPrincipal::RunState {
  frmPrincipal* form = nullptr;
  std::atomic<bool> stop{false};
  std::mutex mutex;
  std::condition_variable answered;
  bool acknowledged = false;  // the message box the run waits on was closed
  bool abandoned = false;     // nobody will close it: the form is going away
};

namespace {

// The run's side, on the worker thread: everything it shows goes to the window's thread, and
// a message holds the run until the user has closed its box, as a modal box would.
class PostingObserver final : public RunObserver {
 public:
  PostingObserver(FormView& view, std::shared_ptr<frmPrincipal::RunState> state)
      : view_(view), state_(std::move(state)) {}

  void status_changed(std::string_view text) override { post_label(Label::Status, text); }
  void progress_changed(std::string_view text, ProgressStage) override {
    post_label(Label::Progress, text);
  }

  void show_message(std::string_view text, MessageKind) override {
    {
      std::lock_guard lock(state_->mutex);
      state_->acknowledged = false;
    }
    view_.post([view = &view_, state = state_, text = std::string(text)] {
      if (state->form != nullptr) view->show_message(text);
      std::lock_guard lock(state->mutex);
      state->acknowledged = true;
      state->answered.notify_all();
    });
    std::unique_lock lock(state_->mutex);
    state_->answered.wait(lock, [&] { return state_->acknowledged || state_->abandoned; });
  }

 private:
  void post_label(Label label, std::string_view text) {
    view_.post([view = &view_, state = state_, label, text = std::string(text)] {
      if (state->form != nullptr) view->set_label(label, text);
    });
  }

  FormView& view_;
  std::shared_ptr<frmPrincipal::RunState> state_;
};

}  // namespace

frmPrincipal::frmPrincipal(FormView& view, FormSystem system)
    : view_(view), system_(std::move(system)) {}

frmPrincipal::~frmPrincipal() {
  if (!worker_.joinable()) return;
  run_->form = nullptr;
  run_->stop = true;
  {
    std::lock_guard lock(run_->mutex);
    run_->abandoned = true;
  }
  run_->answered.notify_all();
  worker_.join();
}

void frmPrincipal::cmdAbrir_Click() {
  if (running()) return;
  const std::string folder = view_.browse_for_folder(kSourcePrompt);
  if (folder.empty()) return;  // cancelled: both keep what they held
  sourcePath_ = folder + system_.separator;
  view_.set_text(Box::Path, folder + system_.separator);
}

void frmPrincipal::CmdDest_Click() {
  if (running()) return;
  reportPath_ = view_.browse_for_folder(kDestPrompt);
  if (!reportPath_.empty()) {
    reportPath_ += system_.separator;
    reportPath_ += kReportName;
  } else {
    // A cancel is no error: the report goes to the current folder.
    reportPath_ = system_.current_directory() + system_.separator + std::string(kReportName);
  }
  view_.set_text(Box::Dest, reportPath_);
}

void frmPrincipal::txtPath_Change() {
  sourcePath_ = view_.text(Box::Path);
}

void frmPrincipal::txtDest_Change() {
  reportPath_ = view_.text(Box::Dest);
}

void frmPrincipal::cmdGenerar_Click() {
  if (running()) return;
  run_ = std::make_shared<RunState>();
  run_->form = this;

  RunSettings settings;
  settings.sourcePath = sourcePath_.empty() ? "" : system_.to_core_path(sourcePath_);
  settings.reportPath = system_.to_core_path(view_.text(Box::Dest));
  settings.decimalSeparator = system_.decimal_separator();
  settings.jobs = system_.jobs;
  settings.stop = &run_->stop;
  settings.retry = kRetry;
  worker_ =
      std::thread([settings = std::move(settings), fs = system_.file_system(),
                   observer = PostingObserver(view_, run_), state = run_, view = &view_]() mutable {
        (void)run_report(settings, *fs, observer);  // failures were shown by the run itself
        view->post([state] {
          if (state->form != nullptr) state->form->run_ended();
        });
      });
}

void frmPrincipal::run_ended() {
  worker_.join();
  run_.reset();
  if (close_after_run_) view_.close();
}

void frmPrincipal::cmdSalir_Click() {
  if (running()) return;
  view_.close();
}

bool frmPrincipal::close_requested() {
  if (!running()) return true;
  close_after_run_ = true;
  run_->stop = true;
  return false;
}

}  // namespace zentil::ui
