#include "window_fixture.h"

#include <QEvent>
#include <QPaintEvent>
#include <QTest>

#include "ui/dialog_seams.h"

namespace zentil::testing {
namespace {

class PaintSpy final : public QObject {
 public:
  explicit PaintSpy(QStringList& seen) : seen_(seen) {}

 protected:
  bool eventFilter(QObject* target, QEvent* event) override {
    // Label2 overlaps Label1 by a pixel row, so painting one also paints that row of the other:
    // only a paint of the whole label is a repaint of it.
    if (event->type() == QEvent::Paint &&
        static_cast<QPaintEvent*>(event)->rect() == static_cast<QWidget*>(target)->rect()) {
      const auto* label = static_cast<QLabel*>(target);
      seen_.push_back(label->objectName() + ":" + label->text());
    }
    return false;
  }

 private:
  QStringList& seen_;
};

}  // namespace

void WindowFixture::SetUp() {
  ui::seams::set_message_recorder([this](const QString& title, const QString& text) {
    seen.push_back(title + "|" + text);
    if (during_message) during_message();
  });
  window = std::make_unique<ui::frmPrincipal>();
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QCoreApplication::processEvents();  // the first full paint, before anything is recorded
}

void WindowFixture::TearDown() {
  stop_recording_paints();
  window.reset();
  // A test that queued more answers than it used must not leak them into the next one.
  ui::seams::reset();
}

void WindowFixture::start_recording_paints() {
  paint_spy_ = std::make_unique<PaintSpy>(seen);
  window->Label1->installEventFilter(paint_spy_.get());
  window->Label2->installEventFilter(paint_spy_.get());
}

void WindowFixture::stop_recording_paints() {
  if (!paint_spy_) return;
  if (window) {
    window->Label1->removeEventFilter(paint_spy_.get());
    window->Label2->removeEventFilter(paint_spy_.get());
  }
  paint_spy_.reset();
}

QStringList WindowFixture::messages() const {
  QStringList only;
  for (const QString& s : seen) {
    if (s.contains('|')) only.push_back(s);
  }
  return only;
}

}  // namespace zentil::testing
