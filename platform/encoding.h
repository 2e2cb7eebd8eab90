#pragma once

#include <string>
#include <string_view>

namespace zentil {

// Appends a file name to a report line in Windows-1252. A name that is valid UTF-8 is decoded
// and each character that Windows-1252 lacks becomes "?"; any other name is copied byte for
// byte. A carriage return or line feed becomes "?" either way, so the row stays one line.
void append_name_windows1252(std::string& out, std::string_view name);

}  // namespace zentil
