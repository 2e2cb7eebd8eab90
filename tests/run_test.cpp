// Whole runs: the golden folders byte for byte with what the run shows, the progress and the
// report the same whatever the number of threads, and the score as the closing message shows it.
#include "report/report_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <set>
#include <thread>

#include "gated_file_system.h"
#include "platform/number_format.h"
#include "support.h"

namespace zentil {
namespace {

using testing::read_file;
using testing::TempDir;

// Writes down what a run shows, in order.
class Recorder final : public RunObserver {
 public:
  std::vector<std::string> events;
  void status_changed(std::string_view text) override { add("status:", text); }
  void progress_changed(std::string_view text, ProgressStage) override { add("progress:", text); }
  void show_message(std::string_view text, MessageKind kind) override {
    add(kind == MessageKind::Result ? "result:" : "other:", text);
  }

 private:
  void add(const char* what, std::string_view text) { events.push_back(what + std::string(text)); }
};

// The system's file system, listing the names in `unscanned` without the archive attribute,
// which neither Linux nor Wine can do. The scanning threads share it; it is only read.
class ArchiveSeam final : public FileSystem {
 public:
  std::set<std::string> unscanned;
  Status check_source_folder(const std::string& path) override {
    return real_->check_source_folder(path);
  }
  Result<std::vector<ListedEntry>> list_folder(const std::string& path, const std::string& report,
                                               const std::atomic<bool>* stop) override {
    auto listing = real_->list_folder(path, report, stop);
    if (listing.ok()) {
      for (auto& e : *listing) e.archive = !unscanned.contains(e.name);
    }
    return listing;
  }
  Result<std::unique_ptr<InputFile>> open_input(const std::string& path) override {
    return real_->open_input(path);
  }
  Result<std::unique_ptr<ReportFile>> create_report(const std::string& path) override {
    return real_->create_report(path);
  }

 private:
  std::unique_ptr<FileSystem> real_ = make_system_file_system();
};

struct Seen {
  std::vector<std::string> events;
  std::string report;
};

Seen run(FileSystem& fs, const std::string& source, const std::string& report, unsigned jobs,
         PieceSettings pieces = {}) {
  Recorder recorder;
  run_report({.sourcePath = source, .reportPath = report, .jobs = jobs, .pieces = pieces}, fs,
             recorder);
  return {recorder.events, read_file(report)};
}

// Some of their rows were worked out by hand: tests/golden/README.md.
TEST(Run, GoldenFolders) {
  const struct {
    const char* folder;
    const char* report;
    std::vector<std::string> progress;
    std::string count, score;
  } cases[] = {
      {"/examples/sample-kb/", "/tests/golden/sample-kb.csv", {"10", "20"}, "20", "2.81"},
      {"/tests/golden/odd/", "/tests/golden/odd.csv", {"10"}, "10", "0.28"},
      {"/tests/golden/rules/", "/tests/golden/rules.csv", {"10", "20"}, "20", "0.35"},
  };
  for (const auto& c : cases) {
    TempDir out;
    // Named like rules/kbreport.csv, a spec file like any other in a folder that is not its own.
    out.write("kbreport.csv", std::string(5000, 'x'));  // replaced, not appended to
    const auto fs = make_system_file_system();
    const Seen seen = run(*fs, ZENTIL_SOURCE_DIR + std::string(c.folder), out / "kbreport.csv", 1);
    EXPECT_EQ(seen.report, read_file(ZENTIL_SOURCE_DIR + std::string(c.report))) << c.folder;
    std::vector<std::string> shown = {"status:Procesando archivos.. Espere por favor."};
    for (const auto& n : c.progress) shown.push_back("progress:Archivos procesados: " + n);
    shown.insert(shown.end(),
                 {"status:", "progress:Archivos procesados: " + c.count,
                  "result:Cantidad de archivos procesados: " + c.count,
                  "result:Zentil de la KB: " + c.score, "progress:Archivos procesados: 0"});
    EXPECT_EQ(seen.events, shown) << c.folder;
  }
}

// Progress after every tenth scanned file shows the entries listed by then; any number of
// threads shows the same and writes the same report. A stop request ends a long listing early.
TEST(Run, ProgressAndThreads) {
  const struct {
    const char* name;
    int files;
    int unscanned_every;   // each n-th entry lacks the archive attribute (0: none)
    const char* progress;  // the counts shown during the run ("*": not checked)
  } cases[] = {
      {"no files: the header alone", 0, 0, ""},
      {"9 files", 9, 0, ""},
      {"12 entries, 10 scanned", 12, 5, "12"},
      {"35 entries, 30 scanned", 35, 7, "11 23 34"},
      {"more than the scan pool's window", 600, 7, "*"},
  };
  for (const auto& c : cases) {
    TempDir src, out;
    ArchiveSeam fs;
    for (int i = 1; i <= c.files; ++i) {  // whose rows all differ, so that one out of place shows
      const std::string name = std::to_string(1000 + i).substr(1);
      src.write(name, std::string(i % 50, 'x') + "\r\n" + std::string(i % 7 * 9, 'v'));
      if (c.unscanned_every && i % c.unscanned_every == 0) fs.unscanned.insert(name);
    }
    const Seen one = run(fs, src.path(), out / "r.csv", 1);
    std::string progress;
    for (std::size_t i = 1; i + 5 < one.events.size(); ++i) {
      progress += (progress.empty() ? "" : " ") + one.events[i].substr(30);
    }
    EXPECT_TRUE(*c.progress == '*' || progress == c.progress) << c.name << ": " << progress;
    const auto scanned = static_cast<std::ptrdiff_t>(c.files - fs.unscanned.size());
    EXPECT_EQ(std::count(one.report.begin(), one.report.end(), '\n'), 1 + scanned) << c.name;
    for (const unsigned jobs : {2u, 3u}) {
      const Seen many = run(fs, src.path(), out / "r.csv", jobs);
      EXPECT_EQ(many.events, one.events) << c.name << ", jobs " << jobs;
      EXPECT_EQ(many.report, one.report) << c.name << ", jobs " << jobs;
    }
    if (c.files > 500) {  // asked with the stop made, the listing gives up within a few hundred
      const std::atomic<bool> stop{true};
      EXPECT_FALSE(make_system_file_system()->list_folder(src.path(), "", &stop).ok());
    }
  }
}

// Large files cut between the jobs, three of them among small ones, count as one job counts them;
// a file that shrank since its open is scanned again in one pass; a stop ends the scan of a cut
// file within a few reads.
TEST(Run, LargeFilesCutBetweenJobs) {
  TempDir src, out;
  std::string levels = "spec_i([ trn\r\n";
  for (int i = 0; i < 300; ++i) {
    levels += "level_i(L" + std::to_string(i % 7) + ",1)\r\ntable_i(L" + std::to_string(i % 9) +
              ",'',[a,b])\r\n" + (i % 60 == 59 ? "spec_i([ proc\rprint_i(title([]))\r" : "");
  }
  src.write("big1", levels);
  src.write("big2", levels.substr(7000) + "spec_i([ trn\r" + levels);
  src.write("small", "v_i(&x)\r\n");
  // A table named too long for a piece to keep: matched in one pass.
  const std::string name(70'000, 'N');
  src.write("long", levels + "spec_i([ trn\rlevel_i(" + name + ",1)\rtable_i(" + name + ",'',[a]," +
                        name + "\r");
  const PieceSettings pieces{64, 1000};
  const auto fs = make_system_file_system();
  const Seen one = run(*fs, src.path(), out / "r.csv", 1, pieces);
  for (const unsigned jobs : {2u, 3u}) {
    const Seen many = run(*fs, src.path(), out / "r.csv", jobs, pieces);
    EXPECT_EQ(many.events, one.events) << jobs;
    EXPECT_EQ(many.report, one.report) << jobs;
  }
  testing::GatedFileSystem shrunk("big2", -1);
  shrunk.shrunk_by = 100;
  EXPECT_EQ(run(shrunk, src.path(), out / "r.csv", 2, pieces).report, one.report);

  std::atomic<bool> stop{false};
  testing::GatedFileSystem gated("big1", 3);
  std::thread stopper([&] {
    stop = gated.wait_reached();
    gated.release();
  });
  Recorder recorder;
  const RunSettings settings{.sourcePath = src.path(),
                             .reportPath = out / "r.csv",
                             .jobs = 2,
                             .stop = &stop,
                             .pieces = pieces};
  EXPECT_EQ(run_report(settings, gated, recorder).result, RunResult::Stopped);
  stopper.join();
  EXPECT_LT(*gated.reads(), 30);
}

TEST(Score, HundredthsWithTheLocalesSeparator) {
  const struct {
    std::int64_t score;
    const char* point;
    const char* comma;
  } cases[] = {
      {155, "1.55", "1,55"},
      {1200, "12", "12"},
      {7, "0.07", "0,07"},
      {70, "0.7", "0,7"},
      {0, "0", "0"},
      {-1234, "-12.34", "-12,34"},
      {std::numeric_limits<std::int64_t>::min(), "-9.22337203685478E+16", "-9,22337203685478E+16"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(format_score(c.score, "."), c.point) << c.score;
    EXPECT_EQ(format_score(c.score, ","), c.comma) << c.score;
  }
}

}  // namespace
}  // namespace zentil
