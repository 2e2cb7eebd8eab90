// Test seams for the two kinds of modal dialog, so that no test waits on a person. While an
// answer is queued or a recorder is set, no dialog is shown and the seam answers instead.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace zentil::ui::qt::seams {

// The folder chooser hands back queued answers in order; an empty answer is a cancel.
void queue_folder_answer(const QString& answer);
// The prompts the chooser was called with while answering from the queue, oldest first; taking
// them clears the list.
QStringList take_folder_prompts();

// While set, message boxes are not shown: the recorder gets each box's title and text.
using MessageRecorder = std::function<void(const QString& title, const QString& text)>;
void set_message_recorder(MessageRecorder recorder);

// With real dialogs forbidden, a dialog that the seams cannot answer ends the program with a
// diagnostic instead of waiting for a click that never comes.
void forbid_real_dialogs(bool forbid);

// Drops queued answers, recorded prompts and the recorder.
void reset();

// For the dialogs themselves: the queued answer (recording the prompt), or nothing when the
// real dialog must be shown.
std::optional<QString> take_folder_answer(const QString& prompt);
// True when a recorder took the message, so the real box must not be shown.
bool record_message(const QString& title, const QString& text);

}  // namespace zentil::ui::qt::seams
