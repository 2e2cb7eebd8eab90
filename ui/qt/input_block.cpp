#include "ui/qt/input_block.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <utility>

namespace zentil::ui::qt {
namespace {

// Mouse, wheel, keys, touch and tablet are input events; these come from the user too.
bool is_user_input(const QEvent& event) {
  switch (event.type()) {
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return true;
    default:
      return event.isInputEvent();
  }
}

}  // namespace

InputBlock::InputBlock(QWidget& window, std::function<bool()> active)
    : window_(window), active_(std::move(active)) {
  QCoreApplication::instance()->installEventFilter(this);
}

InputBlock::~InputBlock() {
  QCoreApplication::instance()->removeEventFilter(this);
}

bool InputBlock::belongs_to_window(QObject* target) const {
  if (target->isWidgetType()) return static_cast<QWidget*>(target)->window() == &window_;
  return target->isWindowType() && target == window_.windowHandle();
}

bool InputBlock::eventFilter(QObject* target, QEvent* event) {
  return is_user_input(*event) && belongs_to_window(target) && active_();
}

}  // namespace zentil::ui::qt
