#include "ui/qt/dialog_seams.h"

#include <QtGlobal>
#include <deque>
#include <utility>

namespace zentil::ui::qt::seams {
namespace {

// The window lives on one thread, and so do these.
std::deque<QString>& folder_answers() {
  static std::deque<QString> answers;
  return answers;
}

QStringList& folder_prompts() {
  static QStringList prompts;
  return prompts;
}

MessageRecorder& message_recorder() {
  static MessageRecorder recorder;
  return recorder;
}

bool& real_dialogs_forbidden() {
  static bool forbidden = false;
  return forbidden;
}

}  // namespace

void queue_folder_answer(const QString& answer) {
  folder_answers().push_back(answer);
}

QStringList take_folder_prompts() {
  return std::exchange(folder_prompts(), {});
}

void set_message_recorder(MessageRecorder recorder) {
  message_recorder() = std::move(recorder);
}

void forbid_real_dialogs(bool forbid) {
  real_dialogs_forbidden() = forbid;
}

void reset() {
  folder_answers().clear();
  folder_prompts().clear();
  message_recorder() = nullptr;
}

std::optional<QString> take_folder_answer(const QString& prompt) {
  if (folder_answers().empty()) {
    if (real_dialogs_forbidden()) qFatal("folder chooser opened with no answer queued");
    return std::nullopt;
  }
  folder_prompts().push_back(prompt);
  QString answer = folder_answers().front();
  folder_answers().pop_front();
  return answer;
}

bool record_message(const QString& title, const QString& text) {
  if (!message_recorder()) {
    if (real_dialogs_forbidden()) qFatal("message box shown with no recorder set");
    return false;
  }
  message_recorder()(title, text);
  return true;
}

}  // namespace zentil::ui::qt::seams
