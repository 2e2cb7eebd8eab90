#pragma once

#include <string>
#include <string_view>

#include "platform/result.h"

namespace zentil {

// A system error number: errno on POSIX systems, GetLastError() on Windows.
#ifdef _WIN32
using SystemErrorCode = unsigned long;
#else
using SystemErrorCode = int;
#endif

// The system's own wording for `code`, in the user's language where the system has it.
std::string system_reason(SystemErrorCode code);

// "<what> <path>: <reason>", the one shape of every file error the program shows.
inline Error file_error(std::string_view what, std::string_view path, std::string_view reason) {
  std::string message(what);
  message += ' ';
  message += path;
  message += ": ";
  message += reason;
  return Error{std::move(message)};
}

inline Error file_error(std::string_view what, std::string_view path, SystemErrorCode code) {
  return file_error(what, path, system_reason(code));
}

}  // namespace zentil
