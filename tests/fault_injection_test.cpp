// Faults injected into real runs: failing reads of a spec file, a report that hits the file-size
// limit or a full disk or fails to be saved, folders and files that may not be read or written,
// files that vanish, are swapped, shrink or grow during the run.
// Every failure must stop the run with one line that names the file and the system's reason,
// exit 1, leave an earlier report byte for byte as it was and leave no temporary file behind.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <functional>

#include "metrics/report_row.h"
#include "platform/posix_file_system.h"
#include "report/report_run.h"
#include "support/recording_observer.h"
#include "support/report_cli.h"
#include "support/temp_dir.h"

namespace zentil {
namespace {

using testing::folder_names;
using testing::ProgramResult;
using testing::read_file;
using testing::TempDir;

// The run reads spec files with a buffer of this size (report/report_run.cpp); faults are placed
// around its edges. Keep the two in step.
constexpr std::int64_t kReadBuffer = 256 * 1024;
const std::string kOldReport = "an earlier report\r\nwith rows,1,2,3\r\n";

ProgramResult cli(std::vector<std::string> args, std::vector<std::string> env = {},
                  const std::function<void()>& in_child = {},
                  std::vector<std::string> prefix = {}) {
  return testing::run_report_cli(ZENTIL_REPORT_BIN, std::move(args), std::move(env), in_child,
                                 std::move(prefix));
}

// Ordinary spec lines, `size` bytes in all.
std::string spec_bytes(std::size_t size) {
  const std::string line = "b_line_i(1,cmd,'for each Cliente')\r\n";
  std::string bytes;
  while (bytes.size() + line.size() <= size) bytes += line;
  bytes.append(size - bytes.size(), 'x');
  return bytes;
}

// Root reads and writes anything, so permission faults are tried as nobody.
const std::vector<std::string> kAsNobody = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534",
                                            "--clear-groups"};
bool can_drop_root() {
  return ::geteuid() != 0 || ::access(kAsNobody[0].c_str(), X_OK) == 0;
}

struct FaultTest : ::testing::Test {
  TempDir src;
  TempDir out;
  std::string report;

  void SetUp() override {
    report = out.write("KBReport.csv", kOldReport);
    src.write("a.spc", "spec_i([ proc ])\r\nv_i(&Variable)\r\n");
    src.write("z.spc", "v_i(&Variable)\r\n");
  }

  // The run stopped: one line on standard error naming `file` and `reason`, nothing on standard
  // output, exit 1, the earlier report untouched and no temporary file beside it.
  void expect_stopped(const ProgramResult& r, const std::string& file, const std::string& reason,
                      const std::string& context) {
    SCOPED_TRACE(context);
    EXPECT_EQ(r.exit_code, 1) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.starts_with("zentil-report: ")) << r.err;
    EXPECT_NE(r.err.find(file), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_TRUE(r.err.ends_with("\n"));
    EXPECT_EQ(read_file(report), kOldReport);
    EXPECT_EQ(folder_names(out.path()), std::vector<std::string>{"KBReport.csv"});
  }
};

// ---- read errors at chosen bytes (LD_PRELOAD shim) -------------------------------------------

TEST_F(FaultTest, ReadErrorAtAnyByteStopsTheRun) {
  const std::int64_t size = 2 * kReadBuffer + 1000;
  const std::string big = src.write("m.spc", spec_bytes(size));
  const std::string reason = std::strerror(EIO);
  // Up to the last byte: once a short read has reached the size the file had at its open, the
  // read that would only return the end of the file is never made.
  const std::int64_t offsets[] = {0, kReadBuffer - 1, kReadBuffer, kReadBuffer + 1, size - 1};
  for (const char* mode : {"short", "error"}) {
    for (const std::int64_t at : offsets) {
      const ProgramResult r =
          cli({src.path(), report},
              {"LD_PRELOAD=" ZENTIL_FAULT_SHIM,
               testing::asan_options_with("verify_asan_link_order=0"), "ZENTIL_FAULT_FILE=" + big,
               "ZENTIL_FAULT_AT=" + std::to_string(at), std::string("ZENTIL_FAULT_MODE=") + mode});
      expect_stopped(r, big, reason,
                     std::string(mode) + " read, error at byte " + std::to_string(at));
    }
  }
}

TEST_F(FaultTest, ShimWithTheFaultPastTheEndChangesNothing) {
  const std::int64_t size = 2 * kReadBuffer + 1000;
  const std::string big = src.write("m.spc", spec_bytes(size));
  TempDir plain;
  const ProgramResult want = cli({src.path(), plain / "KBReport.csv"});
  ASSERT_EQ(want.exit_code, 0) << want.err;
  const ProgramResult r =
      cli({src.path(), report},
          {"LD_PRELOAD=" ZENTIL_FAULT_SHIM, testing::asan_options_with("verify_asan_link_order=0"),
           "ZENTIL_FAULT_FILE=" + big, "ZENTIL_FAULT_AT=" + std::to_string(size + 1)});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, want.out);
  EXPECT_EQ(read_file(report), read_file(plain / "KBReport.csv"));
  EXPECT_NE(r.out.find(": 3\n"), std::string::npos) << r.out;
}

// ---- the report hits the file-size limit -----------------------------------------------------

// Enough rows, with long names, that the report is written in pieces during the scan too, not
// only when it is saved. Returns the report a run without faults writes.
std::string write_many_rows(const TempDir& src) {
  for (int i = 0; i < 400; ++i) {
    src.write(std::string(190, 'n') + "_" + std::to_string(1000 + i) + ".spc",
              "v_i(&Variable)\r\n");
  }
  TempDir full;
  const ProgramResult whole = cli({src.path(), full / "KBReport.csv"});
  EXPECT_EQ(whole.exit_code, 0) << whole.err;
  return read_file(full / "KBReport.csv");
}

TEST_F(FaultTest, FileSizeLimitAnywhereInTheReportKeepsTheEarlierOne) {
  const std::string expected = write_many_rows(src);
  ASSERT_GT(expected.size(), 80u * 1024);
  const auto header = static_cast<rlim_t>(kReportHeader.size());
  const auto total = static_cast<rlim_t>(expected.size());

  const struct {
    const char* where;
    rlim_t limit;
  } cases[] = {
      {"nothing may be written", 0},
      {"in the header", header - 1},
      {"right after the header", header},
      {"in a row, during the scan", header + 1000},
      {"in the last row, when the report is saved", total - 1},
  };
  for (const auto& c : cases) {
    const ProgramResult r = cli({src.path(), report}, {}, [limit = c.limit] {
      const rlimit lim{limit, limit};
      ::setrlimit(RLIMIT_FSIZE, &lim);
    });
    expect_stopped(r, report, std::strerror(EFBIG), c.where);
  }
  // Exactly enough room: the report is saved whole.
  const ProgramResult r = cli({src.path(), report}, {}, [total] {
    const rlimit lim{total, total};
    ::setrlimit(RLIMIT_FSIZE, &lim);
  });
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(read_file(report), expected);
  EXPECT_EQ(folder_names(out.path()), std::vector<std::string>{"KBReport.csv"});
}

TEST_F(FaultTest, DiskFullOrFailedSaveKeepsTheEarlierReport) {
  const std::string expected = write_many_rows(src);
  const auto header = static_cast<std::int64_t>(kReportHeader.size());
  const auto total = static_cast<std::int64_t>(expected.size());
  const std::string shim = "LD_PRELOAD=" ZENTIL_FAULT_SHIM;
  const std::string asan = testing::asan_options_with("verify_asan_link_order=0");
  const struct {
    const char* where;
    std::vector<std::string> env;
    int errnum;
  } cases[] = {
      {"disk full from the start", {"ZENTIL_FAULT_REPORT=write", "ZENTIL_FAULT_AT=0"}, ENOSPC},
      {"disk full in the header",
       {"ZENTIL_FAULT_REPORT=write", "ZENTIL_FAULT_AT=" + std::to_string(header - 1)},
       ENOSPC},
      {"disk full in a row, during the scan",
       {"ZENTIL_FAULT_REPORT=write", "ZENTIL_FAULT_AT=" + std::to_string(header + 1000)},
       ENOSPC},
      {"disk full at the last byte",
       {"ZENTIL_FAULT_REPORT=write", "ZENTIL_FAULT_AT=" + std::to_string(total - 1)},
       ENOSPC},
      {"fdatasync fails", {"ZENTIL_FAULT_REPORT=fdatasync"}, EIO},
      {"close fails", {"ZENTIL_FAULT_REPORT=close"}, EIO},
      {"rename fails", {"ZENTIL_FAULT_REPORT=rename"}, EIO},
  };
  for (const auto& c : cases) {
    std::vector<std::string> env = c.env;
    env.push_back(shim);
    env.push_back(asan);
    expect_stopped(cli({src.path(), report}, env), report, std::strerror(c.errnum), c.where);
  }
  // Room for exactly the whole report: saved.
  const ProgramResult r = cli({src.path(), report}, {shim, asan, "ZENTIL_FAULT_REPORT=write",
                                                     "ZENTIL_FAULT_AT=" + std::to_string(total)});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(read_file(report), expected);
}

// ---- a spec file that may not be opened ------------------------------------------------------

TEST_F(FaultTest, SpecFileThatMayNotBeOpenedStopsTheRun) {
  if (!can_drop_root()) GTEST_SKIP() << "no setpriv";
  const std::string locked = src.write("m.spc", "v_i(&Variable)\r\n");
  ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
  std::vector<std::string> as_other_user;
  if (::geteuid() == 0) {
    // Root reads any file; run as nobody, who may use both folders but not the locked file.
    ASSERT_EQ(::chmod(src.path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(out.path().c_str(), 0777), 0);
    as_other_user = kAsNobody;
  }
  const ProgramResult r = cli({src.path(), report}, {}, {}, as_other_user);
  expect_stopped(r, locked, std::strerror(EACCES), "mode 000");
}

TEST_F(FaultTest, ReadOnlyReportFolderStopsTheRun) {
  if (!can_drop_root()) GTEST_SKIP() << "no setpriv";
  std::vector<std::string> as_other_user;
  if (::geteuid() == 0) {
    ASSERT_EQ(::chmod(src.path().c_str(), 0755), 0);
    as_other_user = kAsNobody;
  }
  ASSERT_EQ(::chmod(report.c_str(), 0666), 0);
  ASSERT_EQ(::chmod(out.path().c_str(), 0555), 0);
  const ProgramResult r = cli({src.path(), report}, {}, {}, as_other_user);
  expect_stopped(r, report, std::strerror(EACCES), "read-only folder");
}

TEST_F(FaultTest, SourceFolderThatMayNotBeReadStopsTheRun) {
  if (!can_drop_root()) GTEST_SKIP() << "no setpriv";
  std::vector<std::string> as_other_user;
  if (::geteuid() == 0) {
    ASSERT_EQ(::chmod(out.path().c_str(), 0777), 0);
    as_other_user = kAsNobody;
  }
  ASSERT_EQ(::chmod(src.path().c_str(), 0311), 0);  // may be entered, not listed
  const ProgramResult r = cli({src.path(), report}, {}, {}, as_other_user);
  expect_stopped(r, src.path(), std::strerror(EACCES), "source folder 0311");
}

TEST_F(FaultTest, ReadOnlyReportFileIsNotReplaced) {
  ASSERT_EQ(::chmod(report.c_str(), 0444), 0);
  const ProgramResult r = cli({src.path(), report});
  expect_stopped(r, report, std::strerror(EACCES), "report 0444");
}

// ---- files that change under the run (file system seam) --------------------------------------

// The real file system, with something done to a spec file at a chosen moment.
class ChangingFileSystem final : public FileSystem {
 public:
  std::function<void()> after_listing;
  std::function<void()> after_first_read;
  std::int64_t fail_read_at = -1;  // byte offset whose read fails (-1: none)

  Status check_source_folder(const std::string& path) override {
    return real_.check_source_folder(path);
  }
  Result<std::vector<ListedEntry>> list_folder(const std::string& path,
                                               const std::string& report) override {
    auto listing = real_.list_folder(path, report);
    if (after_listing) after_listing();
    return listing;
  }
  Result<std::unique_ptr<InputFile>> open_input(const std::string& path) override {
    auto file = real_.open_input(path);
    if (!file.ok() || !path.ends_with("/m.spc")) return file;
    return std::unique_ptr<InputFile>(std::make_unique<Watched>(std::move(*file), *this, path));
  }
  Result<std::unique_ptr<ReportFile>> create_report(const std::string& path) override {
    return real_.create_report(path);
  }

 private:
  class Watched final : public InputFile {
   public:
    Watched(std::unique_ptr<InputFile> inner, ChangingFileSystem& fs, std::string path)
        : inner_(std::move(inner)), fs_(fs), path_(std::move(path)) {}
    Result<std::size_t> read(std::span<char> buffer) override {
      if (fs_.fail_read_at >= 0) {
        const std::int64_t room = fs_.fail_read_at - offset_;
        if (room <= 0) return Error{"No se pudo leer el archivo " + path_ + ": Input/output error"};
        if (static_cast<std::int64_t>(buffer.size()) > room) buffer = buffer.first(room);
      }
      auto n = inner_->read(buffer);
      if (n.ok()) offset_ += static_cast<std::int64_t>(*n);
      if (reads_++ == 0 && fs_.after_first_read) fs_.after_first_read();
      return n;
    }
    Result<std::int64_t> size() override { return inner_->size(); }

   private:
    std::unique_ptr<InputFile> inner_;
    ChangingFileSystem& fs_;
    std::string path_;
    std::int64_t offset_ = 0;
    int reads_ = 0;
  };

  PosixFileSystem real_;
};

struct ChangingRunTest : FaultTest {
  ChangingFileSystem fs;
  testing::RecordingObserver observer;

  RunOutcome run() { return run_report({src.path(), report, "."}, fs, observer); }

  void expect_failed(const RunOutcome& outcome, const std::string& file,
                     const std::string& reason) {
    ASSERT_EQ(outcome.result, RunResult::Failed);
    ASSERT_TRUE(outcome.error.has_value());
    EXPECT_NE(outcome.error->message.find(file), std::string::npos) << outcome.error->message;
    EXPECT_NE(outcome.error->message.find(reason), std::string::npos) << outcome.error->message;
    ASSERT_GE(observer.events.size(), 2u);
    EXPECT_EQ(observer.events[observer.events.size() - 2], "failure:" + outcome.error->message);
    EXPECT_EQ(observer.events.back(), "progress:Archivos procesados: 0");
    for (const auto& e : observer.events) EXPECT_FALSE(e.starts_with("result:")) << e;
    EXPECT_EQ(read_file(report), kOldReport);
    EXPECT_EQ(folder_names(out.path()), std::vector<std::string>{"KBReport.csv"});
  }

  // The "Tamaño" column of the row of `name` in the saved report.
  std::string size_column(const std::string& name) {
    const std::string text = read_file(report);
    const auto start = text.find("\r\n" + name + ",");
    if (start == std::string::npos) return "(no row)";
    const auto first = text.find(',', start);
    const auto second = text.find(',', first + 1);
    const auto third = text.find(',', second + 1);
    return text.substr(second + 1, third - second - 1);
  }
};

TEST_F(ChangingRunTest, ReadErrorAtAnyByteStopsTheRun) {
  const std::int64_t size = 2 * kReadBuffer + 1000;
  const std::string big = src.write("m.spc", spec_bytes(size));
  for (const std::int64_t at :
       {std::int64_t{0}, kReadBuffer - 1, kReadBuffer, kReadBuffer + 1, size - 1, size}) {
    SCOPED_TRACE("error at byte " + std::to_string(at));
    observer.events.clear();
    fs.fail_read_at = at;
    expect_failed(run(), big, "Input/output error");
  }
}

TEST_F(ChangingRunTest, FileThatVanishesAfterTheListingStopsTheRun) {
  const std::string doomed = src.write("m.spc", "v_i(&Variable)\r\n");
  fs.after_listing = [&] { ::unlink(doomed.c_str()); };
  expect_failed(run(), doomed, std::strerror(ENOENT));
}

TEST_F(ChangingRunTest, FileSwappedForAFifoAfterTheListingStopsTheRunWithoutHanging) {
  const std::string swapped = src.write("m.spc", "v_i(&Variable)\r\n");
  fs.after_listing = [&] {
    ::unlink(swapped.c_str());
    ASSERT_EQ(::mkfifo(swapped.c_str(), 0644), 0);
  };
  expect_failed(run(), swapped, "no es un archivo normal");
}

TEST_F(ChangingRunTest, FileTruncatedDuringTheScanGetsItsSizeAfterTheScan) {
  const std::string path = src.write("m.spc", spec_bytes(3 * kReadBuffer));
  fs.after_first_read = [&] { ASSERT_EQ(::truncate(path.c_str(), 100), 0); };
  const RunOutcome outcome = run();
  ASSERT_EQ(outcome.result, RunResult::Completed) << outcome.error->message;
  EXPECT_EQ(outcome.entryCount, 3);
  EXPECT_EQ(size_column("m.spc"), "100");
}

TEST_F(ChangingRunTest, FileGrowingDuringTheScanGetsItsSizeAfterTheScan) {
  const std::string path = src.write("m.spc", spec_bytes(3 * kReadBuffer));
  fs.after_first_read = [&] {
    std::FILE* f = std::fopen(path.c_str(), "ab");
    ASSERT_NE(f, nullptr);
    const std::string more = spec_bytes(5000);
    std::fwrite(more.data(), 1, more.size(), f);
    std::fclose(f);
  };
  const RunOutcome outcome = run();
  ASSERT_EQ(outcome.result, RunResult::Completed) << outcome.error->message;
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(size_column("m.spc"), std::to_string(st.st_size));
}

}  // namespace
}  // namespace zentil
