// "Generar" end to end over real folders: what the labels show at each repaint, the messages in
// order, the report, and the idle window after a failure.
#include <unistd.h>

#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "window_fixture.h"

namespace zentil::testing {
namespace {

// Four lines long enough to count: every file adds 4 to the KB's lines.
constexpr std::string_view kSpec =
    "comentario uno\r\ncomentario dos\r\ncomentario tres\r\ncomentario cuatro\r\n";

int line_count(const std::string& bytes) {
  return static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n'));
}

std::vector<std::string> names_in(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class RunTest : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    // The score's separator comes from the locale; keep it known.
    setenv("LC_ALL", "C", 1);
  }
  void TearDown() override {
    unsetenv("LC_ALL");
    WindowFixture::TearDown();
  }

  void write_specs(const TempDir& dir, const std::string& folder, int count) {
    for (int i = 1; i <= count; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "obj%02d.spc", i);
      dir.write(folder + "/" + name, kSpec);
    }
  }

  void generate() {
    start_recording_paints();
    window->cmdGenerar->click();
    stop_recording_paints();
  }

  void expect_idle(const QString& source, const QString& dest) {
    EXPECT_EQ(window->Label1->text(), "");
    EXPECT_EQ(window->Label2->text(), "Archivos procesados: 0");
    EXPECT_EQ(window->txtPath->text(), source);
    EXPECT_EQ(window->sourcePath(), source);
    EXPECT_EQ(window->txtDest->text(), dest);
    EXPECT_EQ(window->reportPath(), dest);
    EXPECT_TRUE(window->isVisible());
  }
};

TEST_F(RunTest, TwentyFiveFilesShowProgressMessagesAndEndIdle) {
  TempDir dir;
  write_specs(dir, "specs", 25);
  const QString source = q(dir / "specs") + "/";
  const QString dest = q(dir / "KBReport.csv");
  window->txtPath->setText(source);
  window->txtDest->setText(dest);

  bool report_saved_before_messages = false;
  during_message = [&] { report_saved_before_messages = file_exists(dir / "KBReport.csv"); };
  generate();

  EXPECT_EQ(seen, (QStringList{
                      "Label1:Procesando archivos.. Espere por favor.",
                      "Label2:Archivos procesados: 10",
                      "Label2:Archivos procesados: 20",
                      "Label1:",
                      "Label2:Archivos procesados: 25",
                      "Zentil|Cantidad de archivos procesados: 25",
                      "Zentil|Zentil de la KB: 1",
                      "Label2:Archivos procesados: 0",
                  }));
  EXPECT_TRUE(report_saved_before_messages);
  EXPECT_EQ(line_count(read_file(dir / "KBReport.csv")), 26);
  expect_idle(source, dest);

  // The same report can be run again at once.
  seen.clear();
  generate();
  EXPECT_EQ(messages().size(), 2);
  EXPECT_EQ(line_count(read_file(dir / "KBReport.csv")), 26);
}

TEST_F(RunTest, FoldersWithAccentsAndNoTrailingSlashWork) {
  TempDir dir;
  write_specs(dir, "año/specs ñ", 3);
  window->txtPath->setText(q(dir / "año/specs ñ"));
  window->txtDest->setText(q(dir / "año/informe é.csv"));
  generate();
  EXPECT_EQ(messages(), (QStringList{"Zentil|Cantidad de archivos procesados: 3",
                                     "Zentil|Zentil de la KB: 0.12"}));
  EXPECT_EQ(line_count(read_file(dir / "año/informe é.csv")), 4);
}

TEST_F(RunTest, ScoreUsesTheDecimalSeparatorOfTheUsersLocale) {
  TempDir dir;
  write_specs(dir, "specs", 3);
  window->txtPath->setText(q(dir / "specs/"));
  window->txtDest->setText(q(dir / "KBReport.csv"));
  const std::pair<const char*, const char*> cases[] = {
      {"C", "Zentil|Zentil de la KB: 0.12"}, {"es_ES.UTF-8", "Zentil|Zentil de la KB: 0,12"}};
  for (const auto& [locale, score] : cases) {
    SCOPED_TRACE(locale);
    setenv("LC_ALL", locale, 1);
    seen.clear();
    generate();
    EXPECT_EQ(messages().value(1), score);
  }
}

TEST_F(RunTest, InputDuringTheRunIsIgnored) {
  TempDir dir;
  write_specs(dir, "specs", 2);
  const QString source = q(dir / "specs");
  const QString dest = q(dir / "KBReport.csv");
  window->txtPath->setText(source);
  window->txtDest->setText(dest);
  int nested = 0;
  during_message = [&] {
    if (nested++ != 0) return;
    QTest::keyClicks(window->txtPath, "xyz");
    QTest::mouseClick(window->cmdGenerar, Qt::LeftButton);
    QTest::mouseClick(window->cmdSalir, Qt::LeftButton);
    QTest::mouseClick(window->CmdDest, Qt::LeftButton);  // no answer queued: would abort
    window->close();
  };
  generate();
  EXPECT_EQ(messages().size(), 2);  // no second run started inside the first
  expect_idle(source, dest);

  // Afterwards the window takes input again.
  QTest::keyClick(window->txtPath, Qt::Key_Backspace);
  EXPECT_EQ(window->sourcePath(), source.chopped(1));
}

struct FailureCase {
  const char* what;
  std::string source;   // relative to the temporary folder
  std::string dest;     // relative to it; "" leaves txtDest empty
  const char* message;  // beginning of the message
  std::string named;    // the path the message must name, relative; "" names none
};

TEST_F(RunTest, FailuresAreShownAndLeaveTheWindowIdleAndTheReportUntouched) {
  const FailureCase cases[] = {
      {"missing source folder", "no-existe/", "informes/KBReport.csv",
       "La carpeta origen no existe: ", "no-existe/"},
      {"source is a file", "informes/KBReport.csv", "informes/otro.csv",
       "La carpeta origen no es una carpeta: ", "informes/KBReport.csv"},
      {"empty destination", "specs/", "", "No se pudo crear el informe", ""},
      {"destination under a file", "specs/", "informes/KBReport.csv/x.csv",
       "No se pudo crear el informe ", "informes/KBReport.csv/x.csv"},
      {"destination is a folder", "specs/", "informes", "No se pudo crear el informe ", "informes"},
      // Reading this "file" fails with an I/O error after the report was started.
      {"unreadable spec file", "roto/", "informes/KBReport.csv", "No se pudo leer el archivo ",
       "roto/zz.spc"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    write_specs(dir, "specs", 12);
    write_specs(dir, "roto", 11);
    ASSERT_EQ(::symlink("/proc/self/mem", (dir / "roto/zz.spc").c_str()), 0);
    const std::string earlier = "informe anterior\r\n";
    dir.write("informes/KBReport.csv", earlier);
    const QString source = q(dir / c.source);
    const QString dest = c.dest.empty() ? QString() : q(dir / c.dest);
    window->txtPath->setText(source);
    window->txtDest->setText(dest);
    seen.clear();

    generate();

    const QStringList shown = messages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QString("Zentil|") + c.message)) << shown[0].toStdString();
    if (!c.named.empty()) {
      EXPECT_TRUE(shown[0].contains(q(dir / c.named))) << shown[0].toStdString();
    }
    EXPECT_EQ(seen.back(), "Label2:Archivos procesados: 0");
    expect_idle(source, dest);
    EXPECT_EQ(read_file(dir / "informes/KBReport.csv"), earlier);
    EXPECT_EQ(names_in(dir / "informes"), std::vector<std::string>{"KBReport.csv"});
    EXPECT_EQ(names_in(dir.path()), (std::vector<std::string>{"informes", "roto", "specs"}));
  }
}

}  // namespace
}  // namespace zentil::testing
