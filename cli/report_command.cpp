#include "cli/report_command.h"

#include <cstdio>
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

  // Writes the page, then the text or the JSON on standard output.
  int finish(const KbFigures& now, const KbComparison* comparison, const std::string& source) {
    const std::string separator = user_decimal_separator();
    if (page_) {
      KbPageOptions options{source, command_.compare.value_or(""), command_.top, separator};
      Status s = page_->write(kb_page(now, comparison, options));
      if (s.ok()) s = page_->commit();
      if (!s.ok()) return fail(page_error(s.error().message));
    }
    if (command_.json) {
      write_utf8_document(stdout, kb_json(now, comparison, command_.top));
    } else {
      const KbTextOptions options{command_.top, separator};
      std::string text;
      if (comparison == nullptr || command_.summary) text += summary_text(now, options);
      if (comparison != nullptr) {
        text += comparison_text(now, *comparison, *command_.compare, options);
      }
      // Without a scan there are no closing messages for the first empty line to follow.
      if (!now.processed && text.starts_with('\n')) text.erase(0, 1);
      write_text(stdout, text);
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
  Result<std::vector<KbRow>> before = read_saved_report(fs, *command.compare);
  if (!before.ok()) return fail(before.error().message);
  Result<std::vector<KbRow>> after = read_saved_report(fs, command.source);
  if (!after.ok()) return fail(after.error().message);
  Outputs outputs(command, fs);
  if (Status s = outputs.prepare(); !s.ok()) return fail(s.error().message);
  KbFigures now;
  now.rows = std::move(*after);
  for (const KbRow& row : now.rows) now.lines += row.lines;
  const KbComparison comparison = compare_rows(*before, now.rows);
  return outputs.finish(now, &comparison, command.source);
}

}  // namespace

int run_report_command(const ReportCommand& command) {
  const std::unique_ptr<FileSystem> fs = make_system_file_system();
  const bool source_set = !command.source.empty();  // else the run says to choose one
  if (command.compare && source_set && names_a_file(*fs, command.source)) {
    return compare_saved_reports(command, *fs);
  }

  // The earlier report first: it may be the very report this run replaces.
  std::vector<KbRow> earlier;
  if (command.compare && source_set) {
    Result<std::vector<KbRow>> read = read_saved_report(*fs, *command.compare);
    if (!read.ok()) return fail(read.error().message);
    earlier = std::move(*read);
  }
  Outputs outputs(command, *fs);
  if (source_set) {
    if (Status s = outputs.prepare(); !s.ok()) return fail(s.error().message);
  }

  const bool figures = command.summary || command.compare || command.json || command.html;
  KbCollector collector(command.compare.has_value());
  RunSettings settings;
  settings.sourcePath = command.source;
  settings.reportPath = command.report.value_or(default_report_path());
  settings.decimalSeparator = user_decimal_separator();
  settings.jobs = command.jobs;
  settings.rows = figures ? &collector : nullptr;
  // With --json the document says it all: the closing messages are not printed.
  CliObserver observer(stdout, stderr, !command.quiet && is_terminal(stderr), !command.json);
  const RunOutcome outcome = run_report(settings, *fs, observer);
  if (outcome.result == RunResult::NoSource) return kExitUsage;
  if (outcome.result != RunResult::Completed) return kExitFailed;
  if (!figures) return kExitDone;

  const KbFigures now = collector.take(outcome.entryCount);
  KbComparison comparison;
  if (command.compare) comparison = compare_rows(earlier, now.rows);
  return outputs.finish(now, command.compare ? &comparison : nullptr, command.source);
}

}  // namespace zentil
