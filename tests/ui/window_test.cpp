// The window, shown headless with its dialogs answered by the seams: the handlers of the boxes
// and buttons, the keys, captions that fit, and the window at rest after a run or a failure.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <functional>
#include <memory>

#include "support.h"
#include "ui/qt/dialog_seams.h"
#include "ui/qt/main_window.h"

namespace zentil {
namespace {

using testing::read_file;
using testing::TempDir;

QString q(const std::string& text) {
  return QString::fromStdString(text);
}

// Counts the paints of the widgets it filters.
class Paints final : public QObject {
 public:
  int count = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    count += event->type() == QEvent::Paint;
    return false;
  }
};

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::qt::seams::set_message_recorder([this](const QString& title, const QString& text) {
      messages.push_back(title + "|" + text);
      if (during_message) during_message();
    });
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  void TearDown() override { ui::qt::seams::reset(); }

  // Generar with these paths in the boxes; afterwards the window is at rest with the same paths.
  void generate(const QString& source, const QString& dest) {
    window->txtPath->setText(source);
    window->txtDest->setText(dest);
    window->cmdGenerar->click();
    EXPECT_EQ(window->Label1->text(), "");
    EXPECT_EQ(window->Label2->text(), "Archivos procesados: 0");
    EXPECT_EQ(window->sourcePath(), source);  // the boxes' texts
    EXPECT_EQ(window->reportPath(), dest);
    EXPECT_TRUE(window->isVisible());
  }

  std::unique_ptr<ui::qt::MainWindow> window = std::make_unique<ui::qt::MainWindow>();
  QStringList messages;  // "title|text"
  std::function<void()> during_message;
};

TEST_F(Window, PathsFromTheChooserOrTyped) {
  const QString here = QDir::currentPath();
  const struct {
    const char* what;
    bool source;  // the source box and its "..." button, or the report's
    const char* before;
    QStringList answers;  // one per click of "..."; "" cancels
    const char* typed;
    QString after;  // in the box and the path
  } cases[] = {
      {"source: a cancel keeps the box", true, "/datos/kb", {""}, "", "/datos/kb"},
      {"source: a choice gets a separator", true, "/otra", {"/srv/kb"}, "", "/srv/kb/"},
      {"source: the root gets a second one", true, "", {"/"}, "", "//"},
      {"source: the same folder twice", true, "", {"/srv/kb", "/srv/kb"}, "", "/srv/kb/"},
      {"source: typed as typed", true, "", {}, "/kb/specs ", "/kb/specs "},
      {"report: a choice, and its name", false, "", {"/srv/inf"}, "", "/srv/inf/KBReport.csv"},
      {"report: the root", false, "", {"/"}, "", "//KBReport.csv"},
      {"report: a cancel means here", false, "/srv/x.csv", {""}, "", here + "/KBReport.csv"},
      {"report: typed as typed", false, "", {}, "/tmp/mio.csv", "/tmp/mio.csv"},
  };
  for (const auto& c : cases) {
    QLineEdit* box = c.source ? window->txtPath : window->txtDest;
    box->setText(c.before);
    for (const QString& answer : c.answers) {
      ui::qt::seams::queue_folder_answer(answer);
      QTest::mouseClick(c.source ? window->cmdAbrir : window->CmdDest, Qt::LeftButton);
    }
    box->setFocus();
    QTest::keyClicks(box, c.typed);
    EXPECT_EQ(box->text(), c.after) << c.what;
    EXPECT_EQ(c.source ? window->sourcePath() : window->reportPath(), c.after) << c.what;
    const QString prompt = c.source ? "de specs:" : "destino:";
    EXPECT_EQ(ui::qt::seams::take_folder_prompts(),
              QStringList(c.answers.size(), "Seleccione la carpeta " + prompt))
        << c.what;
  }
  EXPECT_TRUE(messages.isEmpty());
}

// Tab from txtPath through every control and back; Enter and Escape in a box start and end
// nothing; Space presses the focused button.
TEST_F(Window, Keys) {
  QWidget* const order[] = {window->txtPath, window->cmdSalir, window->cmdGenerar, window->cmdAbrir,
                            window->txtDest, window->CmdDest,  window->txtPath};
  for (QWidget* expected : order) {
    EXPECT_EQ(QApplication::focusWidget(), expected) << expected->objectName().toStdString();
    if (auto* box = qobject_cast<QLineEdit*>(expected)) {
      for (const auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QTest::keyClick(box, key);
      }
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  EXPECT_TRUE(messages.isEmpty());
  window->cmdGenerar->setFocus();
  QTest::keyClick(window->cmdGenerar, Qt::Key_Space);  // the source box is empty
  EXPECT_EQ(messages, QStringList{"Zentil|Seleccione la carpeta origen"});
  window->cmdSalir->setFocus();
  QTest::keyClick(window->cmdSalir, Qt::Key_Space);
  EXPECT_TRUE(window->isHidden());
}

// The longest text each control shows, at rest or during a run, fits its place in the window.
TEST_F(Window, EveryCaptionFits) {
  const std::pair<QWidget*, QString> shown[] = {
      {window->Label3, "Seleccione la carpeta de specs:"},
      {window->Label4, "Seleccione la carpeta destino:"},
      {window->Label2, "Archivos procesados: 999999"},
      {window->Label1, "Procesando archivos.. Espere por favor."},
      {window->cmdAbrir, "..."},
      {window->CmdDest, "..."},
      {window->cmdGenerar, "Generar"},
      {window->cmdSalir, "Salir"},
  };
  for (const auto& [w, text] : shown) {
    // A button's frame takes a little of its room on each side.
    const int frame = qobject_cast<QPushButton*>(w)
                          ? w->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w)
                          : 0;
    const QRect room = w->contentsRect().adjusted(frame, frame, -frame, -frame);
    EXPECT_LE(w->fontMetrics().horizontalAdvance(text), room.width()) << text.toStdString();
    EXPECT_LE(w->fontMetrics().height(), room.height()) << text.toStdString();
  }
}

TEST_F(Window, AFailureIsShownAndTheWindowGoesBackToRest) {
  TempDir dir;
  for (int i = 10; i < 21; ++i) dir.write("año/f" + std::to_string(i), "v_i(&x)\r\n");
  // Reading this one fails, after the progress line has shown 10.
  ASSERT_EQ(::symlink("/proc/self/mem", (dir / "año/zz").c_str()), 0);
  const std::string earlier = dir.write("KBReport.csv", "an earlier report\r\n");
  generate(q(dir / "año"), q(earlier));
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith("Zentil|No se pudo leer el archivo " + q(dir / "año/zz")))
      << messages[0].toStdString();
}

// The labels show the progress as it comes; the report is saved before the two messages; while
// they wait, no click or key reaches the window.
TEST_F(Window, GenerarShowsTheMessagesAndTakesNoInputMeanwhile) {
  TempDir out;
  Paints progress;  // the run repaints its labels itself: no event loop runs until a message
  window->Label2->installEventFilter(&progress);
  bool saved = false;
  int painted = 0;
  during_message = [&] {
    saved = read_file(out / "KBReport.csv").starts_with("Archivo,");
    if (messages.size() > 1) return;
    painted = progress.count;
    QTest::keyClicks(window->txtPath, "xyz");
    QTest::mouseClick(window->cmdGenerar, Qt::LeftButton);
    QTest::mouseClick(window->cmdSalir, Qt::LeftButton);
    QTest::mouseClick(window->CmdDest, Qt::LeftButton);  // no answer queued: it would abort
    window->close();
  };
  generate(ZENTIL_SOURCE_DIR "/tests/golden/odd/", q(out / "KBReport.csv"));
  EXPECT_EQ(messages, (QStringList{"Zentil|Cantidad de archivos procesados: 10",
                                   "Zentil|Zentil de la KB: 0.28"}));
  EXPECT_TRUE(saved);
  EXPECT_GE(painted, 2);  // after the tenth file and at the end
}

}  // namespace
}  // namespace zentil

// Headless, in the style and the locale the program is checked in.
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
