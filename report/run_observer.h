// How a report run talks to whoever shows it: the window's two labels and message boxes, or
// the command line's standard streams.
#pragma once

#include <string_view>

namespace zentil {

enum class ProgressStage {
  Step,   // after every tenth scanned file
  Final,  // once after the last entry
  Reset,  // at the very end of the run, back to the idle text
};

enum class MessageKind {
  Notice,   // nothing to run: the source folder is not set
  Result,   // one of the two closing messages
  Failure,  // the run stopped; the text names the file and the reason
};

class RunObserver {
 public:
  virtual ~RunObserver() = default;
  // The status line (the window's Label1): set and shown at once.
  virtual void status_changed(std::string_view text) = 0;
  // The progress line (the window's Label2): set and shown at once.
  virtual void progress_changed(std::string_view text, ProgressStage stage) = 0;
  // A message the user must acknowledge; returns when they have.
  virtual void show_message(std::string_view text, MessageKind kind) = 0;
};

}  // namespace zentil
