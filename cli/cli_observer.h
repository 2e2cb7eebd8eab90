#pragma once

#include <cstdio>

#include "report/run_observer.h"

namespace zentil {

// Shows a run on the standard streams: the closing messages on standard output, one a line;
// notices and failures on standard error; and, when `show_progress` is set, the progress line
// on standard error, rewritten in place. Without `show_results` the closing messages are left
// out (a JSON document says it all).
class CliObserver final : public RunObserver {
 public:
  CliObserver(std::FILE* out, std::FILE* err, bool show_progress, bool show_results = true)
      : out_(out), err_(err), show_progress_(show_progress), show_results_(show_results) {}

  void status_changed(std::string_view text) override;
  void progress_changed(std::string_view text, ProgressStage stage) override;
  void show_message(std::string_view text, MessageKind kind) override;

 private:
  void end_progress_line();

  std::FILE* out_;
  std::FILE* err_;
  bool show_progress_;
  bool show_results_;
  bool progress_open_ = false;
};

}  // namespace zentil
