// The batch behind "Generar": every spec file of the source folder becomes one report row, and
// the run ends with the number of entries and the KB's score.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "metrics/file_metrics.h"
#include "metrics/spec_pieces.h"
#include "platform/file_system.h"
#include "report/run_observer.h"

namespace zentil {

// Sees each row the run writes, in the report's order, for what the run itself does not keep
// (summaries, comparisons). A failure it returns stops the run like any other failure: the
// report does not replace the destination.
class RowSink {
 public:
  virtual ~RowSink() = default;
  // Once the folder is listed, before the first file is scanned; `entries` were listed.
  virtual Status begin(std::size_t /*entries*/) { return {}; }
  // `name` as the report writes it (its bytes in the report's code page); `metrics` with
  // fileSize set; `kind` as the file declares.
  virtual Status add(std::string_view name, const FileMetrics& metrics, SpecKind kind) = 0;
  // After the last row, before the report is saved.
  virtual Status finish() { return {}; }
};

struct RunSettings {
  std::string sourcePath;              // the folder of spec files, with or without a trailing "/"
  std::string reportPath;              // the report file to create or replace
  std::string decimalSeparator = ".";  // of the score in the closing message
  unsigned jobs = 0;                   // files scanned at once; 0: one per core
  // When set, the run stops quietly once it holds true, wherever it is: in the listing, before
  // an entry, between two reads of a file.
  const std::atomic<bool>* stop = nullptr;
  // How the user tries again, in what the run says of a report that another program holds.
  std::string retry = "vuelva a intentarlo";
  // When set, gets every row as it is written.
  RowSink* rows = nullptr;
  // How large files are cut between the jobs.
  PieceSettings pieces;
};

enum class RunResult {
  Completed,  // report saved, both closing messages shown
  NoSource,   // the source path was empty; nothing was created
  Failed,     // stopped on an error; any earlier report is untouched
  Stopped,    // stopped on request; no message, any earlier report is untouched
};

struct RunOutcome {
  RunResult result = RunResult::Completed;
  std::int64_t entryCount = 0;
  std::int64_t kbScore = 0;
  std::optional<Error> error;  // set when Failed
};

// Runs one report from start to end on the calling thread, telling `observer` what to show.
// The report is written to a temporary file and replaces the destination only once complete,
// before the closing messages. Any failure stops the run: the observer gets the status line
// cleared, a Failure message and the idle progress text, and the destination stays as it was.
// A stop request does the same without the message; what fails once it has been made is taken
// for the stop, never for a failure.
RunOutcome run_report(const RunSettings& settings, FileSystem& fs, RunObserver& observer);

}  // namespace zentil
