// What the command shows besides the report and its closing messages: the page, and the text or
// the JSON of its options, and the budget's verdict.
#pragma once

#include <memory>
#include <string>

#include "cli/kb_outcome.h"
#include "cli/report_command.h"
#include "platform/file_system.h"

namespace zentil {

class Outputs {
 public:
  Outputs(const ReportCommand& command, FileSystem& fs) : command_(command), fs_(fs) {}

  // Makes the page's place before any work, so that a page that cannot be written stops the
  // command before anything else is.
  Status prepare();

  struct Rendered {
    std::string out;     // the text or the JSON
    std::string budget;  // the line that says the KB grew past its budget, or empty
    Status page;         // how writing the page's temporary file went
  };

  // Works out what finish() shows, for a KB measured from `source`, and writes the page to its
  // temporary file, flushed to the disk but not yet in its place; it may run beside the run,
  // whose report it never touches.
  Rendered render(const KbOutcome& outcome, const std::string& source);

  // Puts the page in its place, then prints the text or the JSON (no output announces a page
  // that was lost), then the budget's line; returns the exit code.
  int finish(const Rendered& rendered);

 private:
  const ReportCommand& command_;
  FileSystem& fs_;
  std::unique_ptr<ReportFile> page_;
};

// Prints "zentil-report: `message`" on standard error; returns kExitFailed.
int fail(std::string_view message);

}  // namespace zentil
