// Runs on several threads must show and write exactly what a run on one thread does: the same
// report bytes, rows in listing order, the same progress texts at the same moments, the same
// messages, and on a failure the same stop at the same file with nothing saved.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <thread>

#include "metrics/report_row.h"
#include "platform/file_system.h"
#include "report/report_run.h"
#include "report/scan_pool.h"
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

// Records like RecordingObserver, and whether every call came on the thread that made it.
class ThreadCheckingObserver final : public RunObserver {
 public:
  RecordingObserver inner;
  bool foreign_thread = false;

  void status_changed(std::string_view text) override {
    check();
    inner.status_changed(text);
  }
  void progress_changed(std::string_view text, ProgressStage stage) override {
    check();
    inner.progress_changed(text, stage);
  }
  void show_message(std::string_view text, MessageKind kind) override {
    check();
    inner.show_message(text, kind);
  }

 private:
  void check() { foreign_thread |= std::this_thread::get_id() != owner_; }
  std::thread::id owner_ = std::this_thread::get_id();
};

// `count` files whose rows all differ: file i holds i var lines, a transaction's level and
// table lines, and lines short and long, so a row out of place shows.
void write_spec_files(const TempDir& dir, int count) {
  for (int i = 1; i <= count; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "s%04d.spc", i);
    std::string text = i % 3 == 0 ? "spec_i([ trn, 'T' ])\r\n" : "spec_i([ proc, 'P' ])\r\n";
    text += "level_i(Lvl,1,'L',[a])\r\ntable_i(Lvl,'L',[a,b,c],[a])\r\n";
    for (int k = 0; k < i % 17; ++k) text += "v_i(&Var" + std::to_string(k) + ")\r\n";
    text += std::string(static_cast<std::size_t>(i % 23), 'x') + "\r\n";
    if (i % 5 == 0) text += "print_i(1,title([]),'x')\r\n";
    dir.write(name, text);
  }
}

struct Observed {
  RunOutcome outcome;
  std::vector<std::string> events;
  std::string report;  // empty when no report was saved
};

Observed observe(FileSystem& fs, const TempDir& src, const TempDir& out, unsigned jobs) {
  const std::string report = out / "r.csv";
  std::remove(report.c_str());
  ThreadCheckingObserver observer;
  RunSettings settings{src.path(), report, ".", jobs};
  Observed seen{run_report(settings, fs, observer), observer.inner.events, ""};
  EXPECT_FALSE(observer.foreign_thread) << "jobs " << jobs;
  if (file_exists(report)) seen.report = read_file(report);
  return seen;
}

void expect_same(const Observed& a, const Observed& b, const std::string& what) {
  EXPECT_EQ(a.outcome.result, b.outcome.result) << what;
  EXPECT_EQ(a.outcome.entryCount, b.outcome.entryCount) << what;
  EXPECT_EQ(a.outcome.kbScore, b.outcome.kbScore) << what;
  EXPECT_EQ(a.outcome.error.has_value(), b.outcome.error.has_value()) << what;
  if (a.outcome.error && b.outcome.error) {
    EXPECT_EQ(a.outcome.error->message, b.outcome.error->message) << what;
  }
  EXPECT_EQ(a.events, b.events) << what;
  EXPECT_EQ(a.report, b.report) << what;
}

// Folder sizes around the multiples of ten (progress) and of the pool's window.
TEST(ParallelRun, SameBytesProgressAndMessagesAsOneThread) {
  constexpr int kWindow = static_cast<int>(ScanPool::kDefaultWindow);
  for (const int count :
       {0, 1, 9, 10, 11, 20, kWindow - 1, kWindow, kWindow + 1, 2 * kWindow + 1}) {
    TempDir src, out;
    write_spec_files(src, count);
    const auto fs = make_system_file_system();
    const Observed serial = observe(*fs, src, out, 1);
    ASSERT_EQ(serial.outcome.result, RunResult::Completed);
    EXPECT_EQ(std::count(serial.report.begin(), serial.report.end(), '\n'), count + 1);
    for (const unsigned jobs : {2u, 3u, 8u}) {
      expect_same(serial, observe(*fs, src, out, jobs),
                  std::to_string(count) + " files, jobs " + std::to_string(jobs));
    }
  }
}

TEST(ParallelRun, EntriesWithoutArchiveKeepTheProgressCounts) {
  TempDir src, out;
  write_spec_files(src, 35);
  SeamFileSystem fs;
  fs.without_archive = {"s0001.spc", "s0009.spc", "s0010.spc", "s0021.spc", "s0035.spc"};
  const Observed serial = observe(fs, src, out, 1);
  ASSERT_EQ(serial.outcome.result, RunResult::Completed);
  // The 10th, 20th and 30th scanned files are the 13th, 24th and 34th entries.
  EXPECT_EQ(serial.events[1], "progress:Archivos procesados: 13");
  EXPECT_EQ(serial.events[2], "progress:Archivos procesados: 24");
  EXPECT_EQ(serial.events[3], "progress:Archivos procesados: 34");
  for (const unsigned jobs : {2u, 4u}) expect_same(serial, observe(fs, src, out, jobs), "archive");
}

// A failing file stops the run at that file, whatever the later files' workers did.
TEST(ParallelRun, FailureStopsAtTheSameFileWithNoReport) {
  TempDir src, out;
  write_spec_files(src, 150);
  struct Case {
    const char* name;
    std::string fail_open, fail_read;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"open", "s0057.spc", "",
       "No se pudo abrir el archivo " + (src / "s0057.spc") + ": Permission denied"},
      {"read", "", "s0103.spc", "No se pudo leer el archivo: Input/output error"},
      {"first file", "s0001.spc", "",
       "No se pudo abrir el archivo " + (src / "s0001.spc") + ": Permission denied"},
  };
  for (const Case& c : cases) {
    SeamFileSystem fs;
    fs.fail_open = c.fail_open;
    fs.fail_read = c.fail_read;
    out.write("r.csv", "earlier");
    const Observed serial = observe(fs, src, out, 1);
    ASSERT_EQ(serial.outcome.result, RunResult::Failed) << c.name;
    EXPECT_EQ(serial.outcome.error->message, c.message) << c.name;
    EXPECT_EQ(serial.events[serial.events.size() - 2], "failure:" + c.message) << c.name;
    for (const unsigned jobs : {2u, 3u}) {
      out.write("r.csv", "earlier");
      const Observed parallel = observe(fs, src, out, jobs);
      expect_same(serial, parallel, std::string(c.name) + ", jobs " + std::to_string(jobs));
      // observe() removed the earlier report; nothing else was left in its place.
      EXPECT_FALSE(file_exists(out / "r.csv")) << c.name;
    }
  }
}

TEST(ParallelRun, FailureKeepsTheEarlierReportAndLeavesNoTemporaryFile) {
  TempDir src, out;
  write_spec_files(src, 40);
  SeamFileSystem fs;
  fs.fail_open = "s0031.spc";
  out.write("r.csv", "earlier");
  ThreadCheckingObserver observer;
  const RunOutcome outcome = run_report({src.path(), out / "r.csv", ".", 2}, fs, observer);
  EXPECT_EQ(outcome.result, RunResult::Failed);
  EXPECT_EQ(read_file(out / "r.csv"), "earlier");
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(out.path())) ++files;
  EXPECT_EQ(files, 1u);
  // Progress went as far as the files before the failing one: 10, 20 and 30.
  EXPECT_EQ(observer.inner.events[3], "progress:Archivos procesados: 30");
  EXPECT_EQ(observer.inner.events[4], "status:");
}

// The pool alone, with windows small enough that every file wraps around them.
TEST(ScanPoolTest, TakesInListingOrderWhateverTheWindow) {
  TempDir src;
  write_spec_files(src, 30);
  const auto fs = make_system_file_system();
  auto listing = fs->list_folder(src.path(), "");
  ASSERT_TRUE(listing.ok());
  for (std::size_t i = 0; i < listing->size(); i += 4) (*listing)[i].archive = false;

  std::vector<FileMetrics> expected;
  FileScanner one;
  for (const ListedEntry& e : *listing) {
    if (!e.archive) continue;
    auto m = one.scan(*fs, join_path(src.path(), e.name));
    ASSERT_TRUE(m.ok());
    expected.push_back(*m);
  }
  for (const std::size_t window : {1u, 2u, 3u, 7u}) {
    for (const unsigned jobs : {2u, 4u}) {
      ScanPool pool(*fs, src.path(), *listing, jobs, window);
      std::vector<FileMetrics> got;
      for (std::size_t i = 0; i < listing->size(); ++i) {
        if (!(*listing)[i].archive) continue;
        auto m = pool.take(i);
        ASSERT_TRUE(m.ok());
        got.push_back(*m);
      }
      EXPECT_EQ(got, expected) << "window " << window << ", jobs " << jobs;
    }
  }
}

TEST(ScanPoolTest, OneJobStartsNoThreadAndNeverMoreThreadsThanFiles) {
  TempDir src;
  write_spec_files(src, 3);
  const auto fs = make_system_file_system();
  auto listing = fs->list_folder(src.path(), "");
  ASSERT_TRUE(listing.ok());
  EXPECT_EQ(ScanPool(*fs, src.path(), *listing, 1).helper_threads(), 0u);
  EXPECT_EQ(ScanPool(*fs, src.path(), *listing, 2).helper_threads(), 1u);
  EXPECT_EQ(ScanPool(*fs, src.path(), *listing, 16).helper_threads(), 2u);
  EXPECT_EQ(ScanPool(*fs, src.path(), {}, 16).helper_threads(), 0u);
}

}  // namespace
}  // namespace zentil
