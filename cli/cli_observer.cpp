#include "cli/cli_observer.h"

namespace zentil {

void CliObserver::status_changed(std::string_view) {}

void CliObserver::progress_changed(std::string_view text, ProgressStage stage) {
  if (!show_progress_ || stage == ProgressStage::Reset) return;
  // "\x1b[K" clears what a longer earlier text left on the line.
  std::fprintf(err_, "\r%.*s\x1b[K", static_cast<int>(text.size()), text.data());
  progress_open_ = true;
  if (stage == ProgressStage::Final) end_progress_line();
  std::fflush(err_);
}

void CliObserver::show_message(std::string_view text, MessageKind kind) {
  end_progress_line();
  if (kind == MessageKind::Result) {
    std::fprintf(out_, "%.*s\n", static_cast<int>(text.size()), text.data());
  } else {
    const char* prefix = kind == MessageKind::Failure ? "zentil-report: " : "";
    std::fprintf(err_, "%s%.*s\n", prefix, static_cast<int>(text.size()), text.data());
  }
}

void CliObserver::end_progress_line() {
  if (!progress_open_) return;
  std::fputc('\n', err_);
  progress_open_ = false;
}

}  // namespace zentil
