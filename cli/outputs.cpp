#include "cli/outputs.h"

#include <cstdio>
#include <future>

#include "cli/budget_message.h"
#include "cli/history_text.h"
#include "cli/kb_json.h"
#include "cli/kb_page.h"
#include "cli/kb_text.h"
#include "platform/console.h"
#include "platform/number_format.h"

namespace zentil {
namespace {

// The file layer words its failures for a report; this one is the page.
std::string page_error(std::string message) {
  if (const auto at = message.find("el informe"); at != std::string::npos) {
    message.replace(at, std::string_view("el informe").size(), "la página");
  }
  return message;
}

}  // namespace

int fail(std::string_view message) {
  write_text(stderr, "zentil-report: " + std::string(message) + "\n");
  return kExitFailed;
}

Status Outputs::prepare() {
  if (!command_.html) return {};
  Result<std::unique_ptr<ReportFile>> page = fs_.create_report(*command_.html);
  if (!page.ok()) return Error{page_error(page.error().message)};
  page_ = std::move(*page);
  return {};
}

Outputs::Rendered Outputs::render(const KbOutcome& outcome, const std::string& source) {
  const std::string separator = user_decimal_separator();
  // The page is made on a thread of its own while the text or the JSON is made here: with
  // thousands of changes each takes milliseconds, and the run's other core is free by now.
  std::future<std::string> page;
  if (page_) {
    page = std::async(std::launch::async, [&] {
      return kb_page(outcome, {source, command_.compare.value_or(""), command_.top, separator});
    });
  }
  Rendered rendered;
  const KbFigures& now = outcome.now;
  if (command_.json) {
    rendered.out = kb_json(outcome, command_.top);
  } else {
    const KbTextOptions options{command_.top, separator};
    if (command_.summary) rendered.out += summary_text(now, options);
    if (outcome.comparison) {
      rendered.out += comparison_text(now, *outcome.comparison, *command_.compare, options);
    }
    if (outcome.history) rendered.out += history_text(*outcome.history, options);
    // Without a scan there are no closing messages for the first empty line to follow.
    if (!now.processed && rendered.out.starts_with('\n')) rendered.out.erase(0, 1);
  }
  if (outcome.budget && outcome.budget->exceeded) {
    rendered.budget = budget_message(*outcome.budget, separator) + "\n";
  }
  // The page's wait on the disk overlaps the report's; it takes its place after the report.
  if (page.valid()) {
    rendered.page = page_->write(page.get());
    if (rendered.page.ok()) rendered.page = page_->seal();
  }
  return rendered;
}

int Outputs::finish(const Rendered& rendered) {
  if (page_) {
    const Status s = rendered.page.ok() ? page_->commit() : rendered.page;
    if (!s.ok()) return fail(page_error(s.error().message));
  }
  if (command_.json) {
    write_utf8_document(stdout, rendered.out);
  } else {
    write_text(stdout, rendered.out);
  }
  if (rendered.budget.empty()) return kExitDone;
  // After everything else, so that the verdict is the last thing a CI log shows.
  std::fflush(stdout);
  write_text(stderr, rendered.budget);
  return kExitOverBudget;
}

}  // namespace zentil
