#pragma once

#include <string>
#include <string_view>

namespace zentil {

// Appends a file name to a report line in the report's code page: Windows-1252 on POSIX
// systems, the system's ANSI code page on Windows. A name that is valid UTF-8 is decoded and
// each character that the code page lacks becomes one "?"; any other name is copied byte for
// byte. A carriage return or line feed becomes "?" either way, so the row stays one line.
void append_report_name(std::string& out, std::string_view name);

}  // namespace zentil
