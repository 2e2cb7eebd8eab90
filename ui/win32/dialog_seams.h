// Test seams for the window's two kinds of modal dialog, so that no test waits on a person.
// While a recorder is set, no message box is shown and no folder dialog either: the chooser
// hands back queued answers, and one with no answer queued ends the program.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zentil::ui::win32::seams {

// The folder chooser's next answer (UTF-8); an empty answer is a cancel.
void queue_folder_answer(std::string answer);

// Gets the text of each message box instead of showing it.
using MessageRecorder = std::function<void(std::string_view text)>;
void set_message_recorder(MessageRecorder recorder);

// Drops queued answers and the recorder.
void reset();

// For the dialogs themselves: the answer to give instead of showing the dialog, or nothing.
std::optional<std::string> take_folder_answer();
// True when the recorder took the message, so the real box must not be shown.
bool record_message(std::string_view text);

}  // namespace zentil::ui::win32::seams
