// Keeps the user's input away from a window while a run holds its thread. The run gives the
// event loop no turn except inside its message boxes, which are modal; input queued meanwhile
// would reach the window once the run returns, so it is dropped on the way out instead.
#pragma once

#include <QObject>

class QWidget;

namespace zentil::ui::qt {

class InputBlock final : public QObject {
 public:
  explicit InputBlock(QWidget& window);
  ~InputBlock() override;
  InputBlock(const InputBlock&) = delete;
  InputBlock& operator=(const InputBlock&) = delete;

 protected:
  bool eventFilter(QObject* target, QEvent* event) override;

 private:
  bool belongs_to_window(QObject* target) const;

  QWidget& window_;
};

}  // namespace zentil::ui::qt
