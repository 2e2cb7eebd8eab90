// Shows a report run in the window: the status and progress labels, repainted at once while
// the run holds the thread, and every message in a box of its own.
#pragma once

#include "report/run_observer.h"

class QLabel;
class QWidget;

namespace zentil::ui::qt {

class WindowObserver final : public RunObserver {
 public:
  WindowObserver(QWidget& owner, QLabel& status, QLabel& progress)
      : owner_(owner), status_(status), progress_(progress) {}

  void status_changed(std::string_view text) override;
  void progress_changed(std::string_view text, ProgressStage stage) override;
  void show_message(std::string_view text, MessageKind kind) override;

 private:
  QWidget& owner_;
  QLabel& status_;
  QLabel& progress_;
};

}  // namespace zentil::ui::qt
