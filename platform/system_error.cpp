#include "platform/system_error.h"

#include <cstring>

namespace zentil {

std::string system_reason(int errnum) {
  char buffer[256];
  // GNU strerror_r may return a static string instead of filling the buffer.
  const char* text = strerror_r(errnum, buffer, sizeof buffer);
  return text;
}

Error file_error(std::string_view what, std::string_view path, int errnum) {
  std::string message(what);
  message += ' ';
  message += path;
  message += ": ";
  message += system_reason(errnum);
  return Error{std::move(message)};
}

}  // namespace zentil
