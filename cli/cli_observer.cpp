#include "cli/cli_observer.h"

#include <string>

#include "platform/console.h"

namespace zentil {

void CliObserver::status_changed(std::string_view) {}

void CliObserver::progress_changed(std::string_view text, ProgressStage stage) {
  if (!show_progress_ || stage == ProgressStage::Reset) return;
  // "\x1b[K" clears what a longer earlier text left on the line.
  write_text(err_, "\r" + std::string(text) + "\x1b[K");
  progress_open_ = true;
  if (stage == ProgressStage::Final) end_progress_line();
  std::fflush(err_);
}

void CliObserver::show_message(std::string_view text, MessageKind kind) {
  end_progress_line();
  if (kind == MessageKind::Result) {
    if (show_results_) write_text(out_, std::string(text) + "\n");
  } else {
    const char* prefix = kind == MessageKind::Failure ? "zentil-report: " : "";
    write_text(err_, prefix + std::string(text) + "\n");
  }
}

void CliObserver::end_progress_line() {
  if (!progress_open_) return;
  write_text(err_, "\n");
  progress_open_ = false;
}

}  // namespace zentil
