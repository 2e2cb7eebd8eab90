#pragma once

#include <string>
#include <string_view>

#include "platform/result.h"

namespace zentil {

// The system's own wording for errno value `errnum` (localised when the C library is).
std::string system_reason(int errnum);

// "<what> <path>: <reason>", the one shape of every file error the program shows.
Error file_error(std::string_view what, std::string_view path, int errnum);

}  // namespace zentil
