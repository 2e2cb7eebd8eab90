// The two "..." buttons and the text boxes: what the chooser's answer or the user's typing makes
// of the boxes and the window's paths.
#include <QDir>
#include <QFileInfo>
#include <QTest>

#include "support/temp_dir.h"
#include "ui/dialog_seams.h"
#include "window_fixture.h"

namespace zentil::testing {
namespace {

using HandlersTest = WindowFixture;

struct ChooserCase {
  const char* what;
  const char* before;   // typed into the box first
  QStringList answers;  // one per click; "" is a cancel
  const char* after;    // the box and the path afterwards
};

TEST_F(HandlersTest, SourceButtonAppendsSlashOrKeepsEverythingOnCancel) {
  const ChooserCase cases[] = {
      {"cancel on empty", "", {""}, ""},
      {"cancel keeps typed text", "/datos/kb", {""}, "/datos/kb"},
      {"choice gets a slash", "", {"/srv/kb/specs"}, "/srv/kb/specs/"},
      {"choice replaces typed text", "/otra", {"/srv/kb"}, "/srv/kb/"},
      {"root gets a second slash", "", {"/"}, "//"},
      {"same folder twice", "", {"/srv/kb", "/srv/kb"}, "/srv/kb/"},
      {"cancel after a choice", "", {"/srv/kb", ""}, "/srv/kb/"},
  };
  for (const ChooserCase& c : cases) {
    SCOPED_TRACE(c.what);
    window->txtPath->setText(c.before);
    for (const QString& answer : c.answers) {
      ui::seams::queue_folder_answer(answer);
      QTest::mouseClick(window->cmdAbrir, Qt::LeftButton);
    }
    EXPECT_EQ(window->txtPath->text(), c.after);
    EXPECT_EQ(window->sourcePath(), c.after);
    EXPECT_EQ(ui::seams::take_folder_prompts(),
              QStringList(c.answers.size(), "Seleccione la carpeta de specs:"));
  }
  EXPECT_TRUE(messages().isEmpty());  // a cancel shows nothing
}

TEST_F(HandlersTest, ReportButtonAppendsReportNameOrFallsBackToCurrentFolder) {
  TempDir here;
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(q(here.path())));
  const QString fallback = QFileInfo(q(here.path())).canonicalFilePath() + "/KBReport.csv";
  const ChooserCase cases[] = {
      {"choice", "", {"/srv/informes"}, "/srv/informes/KBReport.csv"},
      {"root", "", {"/"}, "//KBReport.csv"},
      {"cancel on empty", "", {""}, ""},
      {"cancel replaces typed path", "/srv/mio.csv", {""}, ""},
      {"same folder twice", "", {"/srv/informes", "/srv/informes"}, "/srv/informes/KBReport.csv"},
      {"cancel after a choice", "", {"/srv/informes", ""}, ""},
  };
  for (const ChooserCase& c : cases) {
    SCOPED_TRACE(c.what);
    window->txtDest->setText(c.before);
    for (const QString& answer : c.answers) {
      ui::seams::queue_folder_answer(answer);
      QTest::mouseClick(window->CmdDest, Qt::LeftButton);
    }
    const QString expected = *c.after ? QString(c.after) : fallback;
    EXPECT_EQ(window->txtDest->text(), expected);
    EXPECT_EQ(window->reportPath(), expected);
    EXPECT_EQ(ui::seams::take_folder_prompts(),
              QStringList(c.answers.size(), "Seleccione la carpeta destino:"));
  }
  ASSERT_TRUE(QDir::setCurrent(previous));
  EXPECT_TRUE(messages().isEmpty());
}

TEST_F(HandlersTest, TypingUpdatesThePathsAtEveryKeystrokeAsTyped) {
  const std::string typed = "/kb/specs ";  // no slash added, nothing trimmed
  for (std::size_t i = 0; i < typed.size(); ++i) {
    QTest::keyClick(window->txtPath, typed[i]);
    EXPECT_EQ(window->sourcePath(), q(typed.substr(0, i + 1)));
  }
  EXPECT_EQ(window->txtPath->text(), q(typed));
  window->txtPath->setText(QStringLiteral("/kb/año"));  // pasted
  EXPECT_EQ(window->sourcePath(), QStringLiteral("/kb/año"));

  window->txtDest->setFocus();
  QTest::keyClicks(window->txtDest, "/tmp/mio.csv");
  EXPECT_EQ(window->reportPath(), "/tmp/mio.csv");
  QTest::keyClick(window->txtDest, Qt::Key_Backspace);
  EXPECT_EQ(window->reportPath(), "/tmp/mio.cs");
}

TEST_F(HandlersTest, EmptiedSourceBoxAsksForTheFolderAndCreatesNothing) {
  TempDir dir;
  window->txtPath->setText(q(dir.path()));
  window->txtDest->setText(q(dir / "KBReport.csv"));
  window->txtPath->setFocus();
  QTest::keyClick(window->txtPath, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(window->txtPath, Qt::Key_Backspace);
  ASSERT_EQ(window->sourcePath(), "");

  QTest::mouseClick(window->cmdGenerar, Qt::LeftButton);
  EXPECT_EQ(messages(), QStringList{"Zentil|Seleccione la carpeta origen"});
  EXPECT_FALSE(file_exists(dir / "KBReport.csv"));
  EXPECT_EQ(window->Label1->text(), "");
  EXPECT_EQ(window->Label2->text(), "Archivos procesados: 0");
}

TEST_F(HandlersTest, SalirHidesTheWindowAtOnce) {
  QTest::mouseClick(window->cmdSalir, Qt::LeftButton);
  EXPECT_TRUE(window->isHidden());
  EXPECT_TRUE(messages().isEmpty());
}

}  // namespace
}  // namespace zentil::testing
