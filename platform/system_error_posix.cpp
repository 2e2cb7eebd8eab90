#include "platform/system_error.h"

#include <cstring>

namespace zentil {

std::string system_reason(SystemErrorCode code) {
  char buffer[256];
  // GNU strerror_r may return a static string instead of filling the buffer.
  const char* text = strerror_r(code, buffer, sizeof buffer);
  return text;
}

}  // namespace zentil
