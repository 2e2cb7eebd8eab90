#include "ui/qt/window_observer.h"

#include <QLabel>

#include "ui/qt/message_box.h"

namespace zentil::ui::qt {
namespace {

// The core's texts are UTF-8.
QString from_core(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// No event loop runs during a run, so an update() would wait until the end: paint now.
void show_now(QLabel& label, std::string_view text) {
  label.setText(from_core(text));
  label.repaint();
}

}  // namespace

void WindowObserver::status_changed(std::string_view text) {
  show_now(status_, text);
}

void WindowObserver::progress_changed(std::string_view text, ProgressStage) {
  show_now(progress_, text);
}

void WindowObserver::show_message(std::string_view text, MessageKind) {
  ShowMessage(&owner_, from_core(text));
}

}  // namespace zentil::ui::qt
