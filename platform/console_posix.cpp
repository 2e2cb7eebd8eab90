#include "platform/console.h"

#include <unistd.h>

#include <clocale>
#include <csignal>

namespace zentil {

void prepare_command_line_program() {
  std::setlocale(LC_ALL, "");  // the system's reasons in the user's language
  // A report that hits the file-size limit fails its write and is reported, not killed.
  std::signal(SIGXFSZ, SIG_IGN);
}

bool is_terminal(std::FILE* stream) {
  return ::isatty(::fileno(stream)) == 1;
}

bool write_text(std::FILE* stream, std::string_view text) {
  return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

bool write_utf8_document(std::FILE* stream, std::string_view text) {
  return write_text(stream, text);
}

}  // namespace zentil
