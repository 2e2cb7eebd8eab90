// Text for the person at a terminal, or for whatever reads the program's output instead.
#pragma once

#include <atomic>
#include <cstdio>
#include <string_view>

namespace zentil {

// Sets up the process of a command-line program: the system's messages in the user's language,
// and failures reported as errors rather than by signals or system dialogs.
void prepare_command_line_program();

// From now on the first interrupt from the terminal (Ctrl+C or Ctrl+Break; on POSIX systems
// SIGINT or SIGTERM) sets `stop` instead of ending the program, so that a run can stop cleanly;
// a second one ends the program at once.
void stop_on_interrupt(std::atomic<bool>& stop);

// Whether `stream` (stdout or stderr) is a terminal that a person watches.
bool is_terminal(std::FILE* stream);

// Writes UTF-8 `text` to `stream` (stdout or stderr); "\n" ends a line. On POSIX systems the
// bytes go out as they are. On Windows a console gets the text as UTF-16, so every character
// shows; output redirected to a file or a pipe gets the console's code page (the system's ANSI
// code page when there is no console) and CR LF line ends, which is what the command prompt's
// and PowerShell's tools read it with. Returns false when the write failed.
bool write_text(std::FILE* stream, std::string_view text);

// Writes a UTF-8 document (JSON) that scripts read back: a console shows it as write_text() does,
// but redirected to a file or a pipe its bytes stay UTF-8 whatever the code page.
bool write_utf8_document(std::FILE* stream, std::string_view text);

}  // namespace zentil
