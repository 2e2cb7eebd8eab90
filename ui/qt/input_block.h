// Keeps the user's input away from a window while a run goes on. The run has a thread of its
// own and the window's event loop keeps turning, so the window still repaints, moves and
// answers the system; only what the user does to it (mouse, keys, shortcuts, drag and drop) is
// dropped. A close is no input: it reaches the window, which asks the run to stop.
#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace zentil::ui::qt {

class InputBlock final : public QObject {
 public:
  // Watches the application's events for as long as it lives; drops the input meant for
  // `window` whenever `active` says so.
  InputBlock(QWidget& window, std::function<bool()> active);
  ~InputBlock() override;
  InputBlock(const InputBlock&) = delete;
  InputBlock& operator=(const InputBlock&) = delete;

 protected:
  bool eventFilter(QObject* target, QEvent* event) override;

 private:
  bool belongs_to_window(QObject* target) const;

  QWidget& window_;
  std::function<bool()> active_;
};

}  // namespace zentil::ui::qt
