// The Qt window through its toolkit, headless, its dialogs answered by the seams: the controls
// as laid out, the keys, captions that fit, and a run with the window alive and deaf to input.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <memory>

#include "gated_file_system.h"
#include "report/run_texts.h"
#include "support.h"
#include "ui/qt/dialog_seams.h"
#include "ui/qt/main_window.h"

// Failures show texts, not their UTF-16 bytes.
void PrintTo(const QString& text, std::ostream* out) {
  *out << text.toStdString();
}

namespace zentil {
namespace {

QString q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::qt::seams::set_message_recorder(
        [this](const QString& title, const QString& text) { messages << title + "|" + text; });
    open(ui::qt::form_system());
  }
  void TearDown() override { ui::qt::seams::reset(); }

  void open(ui::FormSystem system) {
    window = std::make_unique<ui::qt::MainWindow>(std::move(system));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  template <typename Control = QWidget>
  Control* control(ui::ControlIndex index) const {
    return window->findChild<Control*>(q(ui::kControls[index].name));
  }

  std::unique_ptr<ui::qt::MainWindow> window;
  QStringList messages;  // "title|text"
};

TEST_F(Window, OpensWithItsControlsAndChoosesFolders) {
  EXPECT_EQ(window->windowTitle(), "Zentil Counter");
  for (const ui::ControlLayout& c : ui::kControls) {
    const QWidget* shown = window->findChild<QWidget*>(q(c.name));
    ASSERT_NE(shown, nullptr) << c.name;
    EXPECT_EQ(shown->geometry(), QRect(c.left / 15, c.top / 15, c.width / 15, c.height / 15));
    EXPECT_EQ(shown->property("text").toString(), q(c.caption)) << c.name;
  }
  EXPECT_EQ(QApplication::focusWidget(), control(ui::kTxtPath));

  ui::qt::seams::queue_folder_answer("/srv/kb");
  QTest::mouseClick(control(ui::kCmdAbrir), Qt::LeftButton);
  ui::qt::seams::queue_folder_answer("");  // a cancel: the report goes here
  QTest::mouseClick(control(ui::kCmdDest), Qt::LeftButton);
  EXPECT_EQ(control<QLineEdit>(ui::kTxtPath)->text(), "/srv/kb/");
  EXPECT_EQ(control<QLineEdit>(ui::kTxtDest)->text(), QDir::currentPath() + "/KBReport.csv");
  EXPECT_EQ(ui::qt::seams::take_folder_prompts(),
            (QStringList{"Seleccione la carpeta de specs:", "Seleccione la carpeta destino:"}));
}

// Tab from txtPath through every control and back, by key presses; Enter and Escape press no
// button anywhere on the way; Space presses the focused one.
TEST_F(Window, Keys) {
  for (const ui::ControlIndex expected :
       {ui::kTxtPath, ui::kCmdSalir, ui::kCmdGenerar, ui::kCmdAbrir, ui::kTxtDest, ui::kCmdDest,
        ui::kTxtPath}) {
    QWidget* focused = QApplication::focusWidget();
    EXPECT_EQ(focused, control(expected)) << ui::kControls[expected].name;
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
      QTest::keyClick(focused, key);
    }
    EXPECT_FALSE(window->form().running()) << ui::kControls[expected].name;
    QTest::keyClick(focused, Qt::Key_Tab);
  }
  EXPECT_TRUE(window->isVisible());
  QTest::keyClick(control(ui::kCmdSalir), Qt::Key_Space);
  EXPECT_TRUE(window->isHidden());
}

// The longest text each label or button shows, at rest or during a run, fits its place.
TEST_F(Window, EveryCaptionFits) {
  for (const ui::ControlLayout& c : ui::kControls) {
    QWidget* shown = window->findChild<QWidget*>(q(c.name));
    QString text = q(c.name == "Label1" ? texts::kWorking : c.caption);
    if (c.name == "Label2") text = "Archivos procesados: 999999";
    // A button's frame takes a little of its room on each side.
    const int frame =
        c.kind == ui::ControlKind::Button
            ? shown->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, shown)
            : 0;
    const QRect room = shown->contentsRect().adjusted(frame, frame, -frame, -frame);
    EXPECT_LE(shown->fontMetrics().horizontalAdvance(text), room.width()) << c.name;
    EXPECT_LE(shown->fontMetrics().height(), room.height()) << c.name;
  }
}

// What the progress label shows each time it is painted.
class PaintLog final : public QObject {
 public:
  QStringList painted;
  bool eventFilter(QObject* label, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted << label->property("text").toString();
    return false;
  }
};

// "Generar" returns at once: the progress label is painted as the run sets it, while the run
// goes on; clicks and keys change nothing; a close stops the run at once, keeps
// the earlier report and closes the window.
TEST_F(Window, ARunLeavesTheWindowAliveTakesNoInputAndStopsOnClose) {
  testing::TempDir dir;
  for (int i = 10; i < 30; ++i) dir.write("año/f" + std::to_string(i), "v_i(&x)\r\n");
  const std::string earlier = dir.write("KBReport.csv", "an earlier report\r\n");
  auto* gated = new testing::GatedFileSystem("f25");  // the 16th file
  ui::FormSystem system = ui::qt::form_system();
  system.file_system = [gated] { return std::unique_ptr<FileSystem>(gated); };
  system.jobs = 1;
  open(std::move(system));
  PaintLog log;
  control(ui::kLabel2)->installEventFilter(&log);
  control<QLineEdit>(ui::kTxtPath)->setText(q(dir / "año"));
  control<QLineEdit>(ui::kTxtDest)->setText(q(earlier));
  // As the window system brings them: to the window, which hands them to its controls.
  const auto click = [&](ui::ControlIndex index) {
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      control(index)->geometry().center());
  };

  click(ui::kCmdGenerar);
  gated->wait_reached();  // what the run has shown so far waits for the event loop
  EXPECT_TRUE(QTest::qWaitFor([&] { return log.painted.endsWith("Archivos procesados: 10"); }));
  QWidget* const focused = QApplication::focusWidget();
  click(ui::kTxtDest);
  QTest::keyClicks(control(ui::kTxtDest), "xyz");
  click(ui::kCmdSalir);
  EXPECT_EQ(QApplication::focusWidget(), focused);
  EXPECT_EQ(control<QLineEdit>(ui::kTxtDest)->text(), q(earlier));
  EXPECT_FALSE(window->QWidget::close());

  gated->release();
  EXPECT_TRUE(QTest::qWaitFor([&] { return window->isHidden(); }));
  EXPECT_EQ(testing::read_file(earlier), "an earlier report\r\n");
  EXPECT_TRUE(messages.isEmpty());
}

}  // namespace
}  // namespace zentil

// Headless, in the style the program is checked in.
int main(int argc, char** argv) {
  ::setenv("LC_ALL", "C", 1);  // the score's decimal separator
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The style the program runs with: the captions must fit in it.
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  // A dialog no test answered would wait for a click forever: stop loudly instead.
  zentil::ui::qt::seams::forbid_real_dialogs(true);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
