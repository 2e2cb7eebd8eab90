#include "cli/report_command.h"

#include <atomic>
#include <cstdio>
#include <future>
#include <memory>
#include <vector>

#include "cli/cli_observer.h"
#include "cli/kb_json.h"
#include "cli/kb_page.h"
#include "cli/kb_text.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/number_format.h"
#include "report/kb_collector.h"
#include "report/report_run.h"
#include "report/saved_report.h"

namespace zentil {
namespace {

int fail(std::string_view message) {
  write_text(stderr, "zentil-report: " + std::string(message) + "\n");
  return kExitFailed;
}

// Whether `path` names a file to read rather than a folder: then, with --compare, it is the
// later of two saved reports.
bool names_a_file(FileSystem& fs, const std::string& path) {
  return !fs.check_source_folder(path).ok() && fs.open_input(path).ok();
}

class Outputs {
 public:
  Outputs(const ReportCommand& command, FileSystem& fs) : command_(command), fs_(fs) {}

  // Makes the page's place before any work, so that a page that cannot be written stops the
  // command before anything else is.
  Status prepare() {
    if (!command_.html) return {};
    Result<std::unique_ptr<ReportFile>> page = fs_.create_report(*command_.html);
    if (!page.ok()) return Error{page_error(page.error().message)};
    page_ = std::move(*page);
    return {};
  }

  // The text or the JSON, and the page when asked for.
  struct Rendered {
    std::string out;
    std::string page;
  };

  // Works out what finish() writes; writes nothing itself, so it may run beside the run.
  Rendered render(const KbFigures& now, const KbComparison* comparison,
                  const std::string& source) const {
    const std::string separator = user_decimal_separator();
    // The page is made on a thread of its own while the text or the JSON is made here: with
    // thousands of changes each takes milliseconds, and the run's other core is free by now.
    std::future<std::string> page;
    if (page_) {
      page = std::async(std::launch::async, [&] {
        return kb_page(now, comparison,
                       {source, command_.compare.value_or(""), command_.top, separator});
      });
    }
    Rendered rendered;
    if (command_.json) {
      rendered.out = kb_json(now, comparison, command_.top);
    } else {
      const KbTextOptions options{command_.top, separator};
      if (command_.summary) rendered.out += summary_text(now, options);
      if (comparison != nullptr) {
        rendered.out += comparison_text(now, *comparison, *command_.compare, options);
      }
      // Without a scan there are no closing messages for the first empty line to follow.
      if (!now.processed && rendered.out.starts_with('\n')) rendered.out.erase(0, 1);
    }
    if (page.valid()) rendered.page = page.get();
    return rendered;
  }

  // Saves the page, then prints the text or the JSON: no output announces a page that was lost.
  int finish(const Rendered& rendered) {
    if (page_) {
      Status s = page_->write(rendered.page);
      if (s.ok()) s = page_->commit();
      if (!s.ok()) return fail(page_error(s.error().message));
    }
    if (command_.json) {
      write_utf8_document(stdout, rendered.out);
    } else {
      write_text(stdout, rendered.out);
    }
    return kExitDone;
  }

 private:
  // The file layer words its failures for a report; this one is the page.
  static std::string page_error(std::string message) {
    if (const auto at = message.find("el informe"); at != std::string::npos) {
      message.replace(at, std::string_view("el informe").size(), "la página");
    }
    return message;
  }

  const ReportCommand& command_;
  FileSystem& fs_;
  std::unique_ptr<ReportFile> page_;
};

int compare_saved_reports(const ReportCommand& command, FileSystem& fs) {
  if (command.report) {
    write_text(stderr,
               "zentil-report: al comparar dos informes guardados no se escribe ningún "
               "informe: sobra «" +
                   *command.report + "»\n");
    return kExitUsage;
  }
  // Both at once, one on a thread of its own.
  std::future<Result<KbRows>> reading_before = std::async(
      std::launch::async, [&fs, &path = *command.compare] { return read_saved_report(fs, path); });
  Result<KbRows> after = read_saved_report(fs, command.source);
  Result<KbRows> before = reading_before.get();
  if (!before.ok()) return fail(before.error().message);
  if (!after.ok()) return fail(after.error().message);
  Outputs outputs(command, fs);
  if (Status s = outputs.prepare(); !s.ok()) return fail(s.error().message);
  KbFigures now;
  now.rows = std::move(*after);
  const KbComparison comparison = compare_rows(*before, now.rows);
  return outputs.finish(outputs.render(now, &comparison, command.source));
}

}  // namespace

int run_report_command(const ReportCommand& command) {
  const std::unique_ptr<FileSystem> fs = make_system_file_system();
  const bool source_set = !command.source.empty();  // else the run says to choose one
  if (command.compare && source_set && names_a_file(*fs, command.source)) {
    return compare_saved_reports(command, *fs);
  }

  // The earlier report, which may be the very report this run replaces, is read on a thread of
  // its own while the run lists the folder (one core is idle then), and checked before the
  // first file is scanned; a bad one stops the run there, with nothing written.
  std::future<Result<KbRows>> reading;
  if (command.compare && source_set) {
    reading = std::async(std::launch::async,
                         [&fs, &path = *command.compare] { return read_saved_report(*fs, path); });
  }
  std::optional<KbRows> earlier;
  const auto earlier_read = [&]() -> Status {
    Result<KbRows> read = reading.get();
    if (!read.ok()) return read.error();
    earlier = std::move(*read);
    return {};
  };
  Outputs outputs(command, *fs);
  if (source_set) {
    if (Status s = outputs.prepare(); !s.ok()) return fail(s.error().message);
  }

  // What the options show is worked out once the last row is in, while the run saves its
  // report (which waits on the disk).
  const bool figures = command.summary || command.compare || command.json || command.html;
  // The task owns the rows it is given; what else it reads (the outputs, the earlier report)
  // outlives it, as `rendering` waits for it when it goes.
  std::future<Outputs::Rendered> rendering;
  const auto rows_done = [&](KbFigures rows) {
    rendering = std::async(std::launch::async, [&, now = std::move(rows)] {
      std::optional<KbComparison> comparison;
      if (earlier) comparison = compare_rows(*earlier, now.rows);
      return outputs.render(now, comparison ? &*comparison : nullptr, command.source);
    });
  };
  KbCollector collector(command.compare.has_value(),
                        reading.valid() ? std::function<Status()>(earlier_read) : nullptr,
                        rows_done);
  RunSettings settings;
  settings.sourcePath = command.source;
  settings.reportPath = command.report.value_or(default_report_path());
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
    write_text(stderr, "zentil-report: No se escribió el informe " + settings.reportPath +
                           ": ejecución interrumpida\n");
    return kExitInterrupted;
  }
  if (outcome.result != RunResult::Completed) return kExitFailed;
  if (!figures) return kExitDone;
  return outputs.finish(rendering.get());
}

}  // namespace zentil
