#include "cli/report_command.h"

#include <atomic>
#include <cstdio>
#include <future>
#include <memory>

#include "cli/baseline.h"
#include "cli/cli_observer.h"
#include "cli/outputs.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/number_format.h"
#include "report/archive.h"
#include "report/kb_collector.h"
#include "report/report_run.h"
#include "report/saved_report.h"

namespace zentil {
namespace {

int usage_error(const std::string& message) {
  write_text(stderr, "zentil-report: " + message + "\n");
  return kExitUsage;
}

// Whether `path` names a file to read rather than a folder: then, with --compare, it is the
// later of two saved reports.
bool names_a_file(FileSystem& fs, const std::string& path) {
  return !fs.check_source_folder(path).ok() && fs.open_input(path).ok();
}

// Saved reports alone: two compared, or a history; no scan, nothing written but the page.
int measure_saved(const ReportCommand& command, FileSystem& fs) {
  if (command.report) {
    return usage_error("al comparar dos informes guardados no se escribe ningún informe: sobra «" +
                       *command.report + "»");
  }
  if (command.archive) {
    return usage_error(
        "--archive guarda una copia del informe que se escribe, y sin medir una "
        "carpeta no se escribe ninguno");
  }
  Baseline baseline(command);
  if (Status s = baseline.find(fs, ""); !s.ok()) return fail(s.error().message);
  baseline.start(false);
  std::optional<KbFigures> later;
  std::string source;
  if (command.source) {  // the later of two saved reports, read while the earlier one is
    Result<KbRows> read = read_saved_report(fs, *command.source);
    if (Status s = baseline.wait(); !s.ok()) return fail(s.error().message);
    if (!read.ok()) return fail(read.error().message);
    later = KbFigures{std::move(*read), std::nullopt, std::nullopt};
    source = *command.source;
  } else if (Status s = baseline.wait(); !s.ok()) {
    return fail(s.error().message);
  }
  Outputs outputs(command, fs);
  if (Status s = outputs.prepare(); !s.ok()) return fail(s.error().message);
  const KbOutcome outcome = baseline.outcome(std::move(later));
  if (!command.source) source = baseline.releases().back().path;
  return outputs.finish(outputs.render(outcome, source));
}

// What a failed copy of the report into the archive says: the report is there all the same.
std::string archive_failure(const Error& error, const std::string& report) {
  std::string message = error.message;
  if (error.report_in_use) message += ". Ciérrelo en ese programa y vuelva a intentarlo";
  return message + ". El informe nuevo " + report + " sí quedó escrito; falta su copia archivada";
}

}  // namespace

int run_report_command(const ReportCommand& command) {
  const std::unique_ptr<FileSystem> fs = make_system_file_system();
  if (!command.source) return measure_saved(command, *fs);
  const std::string& source = *command.source;
  const bool source_set = !source.empty();  // else the run says to choose one
  if (command.compare && source_set && names_a_file(*fs, source)) {
    return measure_saved(command, *fs);
  }
  const std::string report = command.report.value_or(default_report_path());

  // The earlier report or the saved releases (of which this run's report may be one) are found
  // now, read on a thread of their own while the run lists the folder (one core is idle then),
  // and checked before the first file is scanned: bad ones stop the run there, with nothing
  // written.
  Baseline baseline(command);
  Outputs outputs(command, *fs);
  if (source_set) {
    if (Status s = baseline.find(*fs, report); !s.ok()) return fail(s.error().message);
    if (Status s = outputs.prepare(); !s.ok()) return fail(s.error().message);
    baseline.start(true);
  }

  // What the options show is worked out once the last row is in, while the run saves its
  // report (which waits on the disk).
  const bool measured = command.compare || !command.history.empty();
  const bool figures = measured || command.summary || command.json || command.html;
  // The task owns the rows it is given; what else it reads (the outputs, the baseline)
  // outlives it, as `rendering` waits for it when it goes.
  std::future<Outputs::Rendered> rendering;
  const auto rows_done = [&](KbFigures rows) {
    rendering = std::async(std::launch::async, [&, now = std::move(rows)]() mutable {
      return outputs.render(baseline.outcome(std::move(now)), source);
    });
  };
  KbCollector collector(
      measured, measured ? [&] { return baseline.wait(); } : std::function<Status()>(nullptr),
      rows_done);
  RunSettings settings;
  settings.sourcePath = source;
  settings.reportPath = report;
  settings.decimalSeparator = user_decimal_separator();
  settings.jobs = command.jobs;
  settings.rows = figures ? &collector : nullptr;
  // Ctrl+C stops the run like the window's close: no half-written report, no temporary file.
  std::atomic<bool> stop{false};
  stop_on_interrupt(stop);
  settings.stop = &stop;
  // With --json the document says it all: the closing messages are not printed.
  CliObserver observer(stdout, stderr, !command.quiet && is_terminal(stderr), !command.json);
  const RunOutcome outcome = run_report(settings, *fs, observer);
  if (outcome.result == RunResult::NoSource) return kExitUsage;
  if (outcome.result == RunResult::Stopped) {
    write_text(stderr,
               "zentil-report: No se escribió el informe " + report + ": ejecución interrumpida\n");
    return kExitInterrupted;
  }
  if (outcome.result != RunResult::Completed) return kExitFailed;

  if (command.archive) {
    const Result<std::string> copy = archive_report(
        *fs, report, *command.archive, command.label.value_or(today_label()), !command.label);
    if (!copy.ok()) return fail(archive_failure(copy.error(), report));
  }
  if (!figures) return kExitDone;
  return outputs.finish(rendering.get());
}

}  // namespace zentil
