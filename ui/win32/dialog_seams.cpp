#include "ui/win32/dialog_seams.h"

#include <cstdio>
#include <cstdlib>
#include <deque>

namespace zentil::ui::win32::seams {
namespace {

// The window lives on one thread, and so do these.
std::deque<std::string> answers;
MessageRecorder recorder;

}  // namespace

void queue_folder_answer(std::string answer) {
  answers.push_back(std::move(answer));
}

void set_message_recorder(MessageRecorder new_recorder) {
  recorder = std::move(new_recorder);
}

void reset() {
  answers.clear();
  recorder = nullptr;
}

std::optional<std::string> take_folder_answer() {
  if (answers.empty()) {
    if (!recorder) return std::nullopt;
    // Under test, a real dialog would wait for a click that never comes.
    std::fputs("folder chooser opened with no answer queued\n", stderr);
    std::abort();
  }
  std::string answer = std::move(answers.front());
  answers.pop_front();
  return answer;
}

bool record_message(std::string_view text) {
  if (!recorder) return false;
  recorder(text);
  return true;
}

}  // namespace zentil::ui::win32::seams
