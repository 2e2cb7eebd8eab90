// Whole runs: over real temporary folders, and through a file system seam for what this
// platform cannot produce (entries without the archive attribute, failing reads and writes).
#include "report/report_run.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>

#include "metrics/report_row.h"
#include "platform/posix_file_system.h"
#include "support/recording_observer.h"
#include "support/seam_file_system.h"
#include "support/temp_dir.h"

namespace zentil {
namespace {

using testing::file_exists;
using testing::read_file;
using testing::RecordingObserver;
using testing::SeamFileSystem;
using testing::TempDir;

const std::string kHeader(kReportHeader);

std::string row(const std::string& name, const std::string& fields) {
  return name + "," + fields + "\r\n";
}

struct RunFixture : ::testing::Test {
  TempDir src;
  TempDir out;
  RecordingObserver observer;
  PosixFileSystem fs;

  RunOutcome run(FileSystem& with, const std::string& source, const std::string& report,
                 const std::string& separator = ".") {
    RunSettings settings{source, report, separator};
    return run_report(settings, with, observer);
  }
  RunOutcome run(const std::string& report) { return run(fs, src.path() + "/", report); }
  // The files that the report's folder holds, temporary ones included.
  std::vector<std::string> out_files() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(out.path())) {
      names.push_back(e.path().filename().string());
    }
    return names;
  }
};

// Writes `count` files "f01".."fNN", each one var line of more than ten characters.
void write_files(const TempDir& dir, int count) {
  for (int i = 1; i <= count; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "f%02d", i);
    dir.write(name, "v_i(&Variable)\r\n");
  }
}

TEST_F(RunFixture, TwentyFiveFilesShowProgressEveryTenAndTheTotals) {
  write_files(src, 25);
  const RunOutcome outcome = run(out / "KBReport.csv");
  ASSERT_EQ(outcome.result, RunResult::Completed);
  EXPECT_EQ(outcome.entryCount, 25);
  EXPECT_EQ(outcome.kbScore, 25);
  const std::vector<std::string> expected = {
      "status:Procesando archivos.. Espere por favor.",
      "progress:Archivos procesados: 10",
      "progress:Archivos procesados: 20",
      "status:",
      "progress:Archivos procesados: 25",
      "result:Cantidad de archivos procesados: 25",
      "result:Zentil de la KB: 0.25",
      "progress:Archivos procesados: 0",
  };
  EXPECT_EQ(observer.events, expected);
  std::string report = kHeader;
  for (int i = 1; i <= 25; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "f%02d", i);
    report += row(name, "1,16,0,0,0,0,0,0,0,0,0,1");
  }
  EXPECT_EQ(read_file(out / "KBReport.csv"), report);
  EXPECT_EQ(out_files(), std::vector<std::string>{"KBReport.csv"});
}

TEST_F(RunFixture, EntriesWithoutArchiveAreCountedButNotScanned) {
  write_files(src, 12);
  SeamFileSystem seam;
  seam.without_archive = {"f03", "f11"};
  const RunOutcome outcome = run(seam, src.path(), out / "r.csv");
  ASSERT_EQ(outcome.result, RunResult::Completed);
  EXPECT_EQ(outcome.entryCount, 12);
  EXPECT_EQ(outcome.kbScore, 10);
  // The tenth scanned file is f12, when twelve entries have been listed.
  const std::vector<std::string> expected = {
      "status:Procesando archivos.. Espere por favor.",
      "progress:Archivos procesados: 12",
      "status:",
      "progress:Archivos procesados: 12",
      "result:Cantidad de archivos procesados: 12",
      "result:Zentil de la KB: 0.1",
      "progress:Archivos procesados: 0",
  };
  EXPECT_EQ(observer.events, expected);
  const std::string report = read_file(out / "r.csv");
  EXPECT_EQ(report.find("f03,"), std::string::npos);
  EXPECT_EQ(report.find("f11,"), std::string::npos);
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 11);
}

TEST_F(RunFixture, NineFilesShowNoProgressUntilTheEnd) {
  write_files(src, 9);
  ASSERT_EQ(run(out / "r.csv").result, RunResult::Completed);
  EXPECT_EQ(observer.events[1], "status:");
  EXPECT_EQ(observer.events[2], "progress:Archivos procesados: 9");
}

TEST_F(RunFixture, EmptySourcePathOnlyAsksForTheFolder) {
  out.write("KBReport.csv", "old");
  const RunOutcome outcome = run(fs, "", out / "KBReport.csv");
  EXPECT_EQ(outcome.result, RunResult::NoSource);
  EXPECT_EQ(observer.events, std::vector<std::string>{"notice:Seleccione la carpeta origen"});
  EXPECT_EQ(read_file(out / "KBReport.csv"), "old");
  EXPECT_EQ(out_files().size(), 1u);
}

TEST_F(RunFixture, EmptyFolderGivesTheHeaderAloneAndZero) {
  const RunOutcome outcome = run(out / "r.csv");
  ASSERT_EQ(outcome.result, RunResult::Completed);
  EXPECT_EQ(read_file(out / "r.csv"), kHeader);
  EXPECT_EQ(observer.events[3], "result:Cantidad de archivos procesados: 0");
  EXPECT_EQ(observer.events[4], "result:Zentil de la KB: 0");
}

TEST_F(RunFixture, ListingIsSortedAndLeavesOutWhatIsNoSpecFile) {
  src.write("b.spc", "");
  src.write("A.spc", "");
  src.write("a,b.spc", "");
  src.write(".hidden", "v_i(&Variable)\r\n");
  src.write("sub/inner.spc", "v_i(&Variable)\r\n");
  ASSERT_EQ(::mkfifo((src / "fifo").c_str(), 0644), 0);
  ASSERT_EQ(::symlink("b.spc", (src / "link.spc").c_str()), 0);
  ASSERT_EQ(::symlink("missing", (src / "dangling").c_str()), 0);
  ASSERT_EQ(::symlink("sub", (src / "dirlink").c_str()), 0);
  ASSERT_EQ(::symlink("/dev/zero", (src / "zero").c_str()), 0);
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string sock_path = src / "sock";
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", sock_path.c_str());
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);

  const RunOutcome outcome = run(out / "r.csv");
  ::close(sock);
  ASSERT_EQ(outcome.result, RunResult::Completed);
  EXPECT_EQ(outcome.entryCount, 4);
  EXPECT_EQ(read_file(out / "r.csv"), kHeader + row("A.spc", "0,0,0,0,0,0,0,0,0,0,0,0") +
                                          row("a,b.spc", "0,0,0,0,0,0,0,0,0,0,0,0") +
                                          row("b.spc", "0,0,0,0,0,0,0,0,0,0,0,0") +
                                          row("link.spc", "0,0,0,0,0,0,0,0,0,0,0,0"));
}

TEST_F(RunFixture, FolderWithoutTrailingSlashIsTheFolderItNames) {
  write_files(src, 3);
  ASSERT_EQ(run(fs, src.path(), out / "r.csv").result, RunResult::Completed);
  EXPECT_EQ(observer.events[3], "result:Cantidad de archivos procesados: 3");
}

TEST_F(RunFixture, ExistingReportIsReplacedNotAppended) {
  write_files(src, 1);
  out.write("r.csv", std::string(5000, 'x'));
  ASSERT_EQ(run(out / "r.csv").result, RunResult::Completed);
  EXPECT_EQ(read_file(out / "r.csv"), kHeader + row("f01", "1,16,0,0,0,0,0,0,0,0,0,1"));
}

TEST_F(RunFixture, ReportInsideTheSourceFolderIsNeverListed) {
  write_files(src, 2);
  src.write("KBReport.csv", "earlier report, long enough to count\r\n");
  ASSERT_EQ(run(src / "KBReport.csv").result, RunResult::Completed);
  EXPECT_EQ(read_file(src / "KBReport.csv"), kHeader + row("f01", "1,16,0,0,0,0,0,0,0,0,0,1") +
                                                 row("f02", "1,16,0,0,0,0,0,0,0,0,0,1"));
  // Also when the folder is spelt differently.
  observer.events.clear();
  ASSERT_EQ(run(fs, src.path() + "/./", src.path() + "//KBReport.csv").result,
            RunResult::Completed);
  EXPECT_EQ(observer.events[3], "result:Cantidad de archivos procesados: 2");
}

TEST_F(RunFixture, ScoreUsesTheGivenSeparatorAndCanFall) {
  src.write("neg", "map_i(1)\r\nmap_i(2)\r\nmap_i(3)\r\n");
  for (int i = 0; i < 2; ++i) src.write("pos" + std::to_string(i), std::string(80, 'x') + "\r\n");
  const RunOutcome outcome = run(fs, src.path(), out / "r.csv", ",");
  EXPECT_EQ(outcome.kbScore, -1);
  EXPECT_EQ(observer.events[4], "result:Zentil de la KB: -0,01");
  EXPECT_NE(read_file(out / "r.csv").find("neg,-3,"), std::string::npos);
}

// ---- failures: the run stops, says why, and leaves the earlier report alone ---------------

struct FailureCase {
  const char* name;
  std::function<RunOutcome(RunFixture&, SeamFileSystem&)> run;
  std::string message;  // with SRC and OUT standing for the folders
};

std::string expand(std::string text, const RunFixture& f) {
  for (auto [key, value] : {std::pair{"SRC", f.src.path()}, std::pair{"OUT", f.out.path()}}) {
    for (auto at = text.find(key); at != std::string::npos;
         at = text.find(key, at + value.size())) {
      text.replace(at, 3, value);
    }
  }
  return text;
}

TEST_F(RunFixture, FailuresKeepTheEarlierReport) {
  const std::vector<FailureCase> cases = {
      {"missing source folder",
       [](RunFixture& f, SeamFileSystem& s) {
         return f.run(s, f.src / "nope", f.out / "KBReport.csv");
       },
       "La carpeta origen no existe: SRC/nope"},
      {"source is a file",
       [](RunFixture& f, SeamFileSystem& s) {
         return f.run(s, f.src / "f01", f.out / "KBReport.csv");
       },
       "La carpeta origen no es una carpeta: SRC/f01"},
      {"report folder missing",
       [](RunFixture& f, SeamFileSystem& s) { return f.run(s, f.src.path(), f.out / "no/r.csv"); },
       "No se pudo crear el informe OUT/no/r.csv: No such file or directory"},
      {"report is a folder",
       [](RunFixture& f, SeamFileSystem& s) { return f.run(s, f.src.path(), f.out.path()); },
       "No se pudo crear el informe OUT: Is a directory"},
      {"empty report path",
       [](RunFixture& f, SeamFileSystem& s) { return f.run(s, f.src.path(), ""); },
       "No se pudo crear el informe: falta la ruta del archivo de informe"},
      {"spec file cannot be opened",
       [](RunFixture& f, SeamFileSystem& s) {
         s.fail_open = "f02";
         return f.run(s, f.src.path(), f.out / "KBReport.csv");
       },
       "No se pudo abrir el archivo SRC/f02: Permission denied"},
      {"report write fails",
       [](RunFixture& f, SeamFileSystem& s) {
         s.fail_write = true;
         return f.run(s, f.src.path(), f.out / "KBReport.csv");
       },
       "No se pudo escribir el informe OUT/KBReport.csv: No space left on device"},
      {"report cannot be saved",
       [](RunFixture& f, SeamFileSystem& s) {
         s.fail_commit = true;
         return f.run(s, f.src.path(), f.out / "KBReport.csv");
       },
       "No se pudo guardar el informe OUT/KBReport.csv: Input/output error"},
  };
  write_files(src, 3);
  for (const auto& c : cases) {
    out.write("KBReport.csv", "earlier report");
    observer.events.clear();
    SeamFileSystem seam;
    const RunOutcome outcome = c.run(*this, seam);
    const std::string message = expand(c.message, *this);
    EXPECT_EQ(outcome.result, RunResult::Failed) << c.name;
    ASSERT_TRUE(outcome.error.has_value()) << c.name;
    EXPECT_EQ(outcome.error->message, message) << c.name;
    ASSERT_GE(observer.events.size(), 3u) << c.name;
    const auto n = observer.events.size();
    EXPECT_EQ(observer.events[n - 3], "status:") << c.name;
    EXPECT_EQ(observer.events[n - 2], "failure:" + message) << c.name;
    EXPECT_EQ(observer.events[n - 1], "progress:Archivos procesados: 0") << c.name;
    for (const auto& e : observer.events) EXPECT_FALSE(e.starts_with("result:")) << c.name;
    EXPECT_EQ(read_file(out / "KBReport.csv"), "earlier report") << c.name;
    EXPECT_EQ(out_files(), std::vector<std::string>{"KBReport.csv"}) << c.name;
  }
}

TEST_F(RunFixture, ReadOnlyReportIsNotReplaced) {
  write_files(src, 1);
  out.write("r.csv", "kept");
  ASSERT_EQ(::chmod((out / "r.csv").c_str(), 0444), 0);
  const RunOutcome outcome = run(out / "r.csv");
  ASSERT_EQ(outcome.result, RunResult::Failed);
  EXPECT_EQ(outcome.error->message,
            "No se pudo crear el informe " + (out / "r.csv") + ": Permission denied");
  EXPECT_EQ(read_file(out / "r.csv"), "kept");
}

TEST_F(RunFixture, ReplacedReportKeepsItsPermissions) {
  write_files(src, 1);
  out.write("r.csv", "old");
  ASSERT_EQ(::chmod((out / "r.csv").c_str(), 0640), 0);
  ASSERT_EQ(run(out / "r.csv").result, RunResult::Completed);
  struct stat st {};
  ASSERT_EQ(::stat((out / "r.csv").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

}  // namespace
}  // namespace zentil
