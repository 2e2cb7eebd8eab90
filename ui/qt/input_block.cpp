#include "ui/qt/input_block.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace zentil::ui::qt {
namespace {

bool is_user_input(const QEvent& event) {
  switch (event.type()) {
    case QEvent::Close:  // the window's close button: the run cannot be interrupted
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::Drop:
    case QEvent::DragEnter:
    case QEvent::DragMove:
      return true;
    default:
      return event.isInputEvent();
  }
}

}  // namespace

InputBlock::InputBlock(QWidget& window) : window_(window) {
  QCoreApplication::instance()->installEventFilter(this);
}

InputBlock::~InputBlock() {
  // Whatever the user did during the run is still queued: let it arrive now, into the filter.
  QCoreApplication::processEvents();
  QCoreApplication::instance()->removeEventFilter(this);
}

bool InputBlock::belongs_to_window(QObject* target) const {
  if (target->isWidgetType()) return static_cast<QWidget*>(target)->window() == &window_;
  return target->isWindowType() && target == window_.windowHandle();
}

bool InputBlock::eventFilter(QObject* target, QEvent* event) {
  if (!is_user_input(*event) || !belongs_to_window(target)) return false;
  event->ignore();  // a close that is swallowed must also be refused
  return true;
}

}  // namespace zentil::ui::qt
