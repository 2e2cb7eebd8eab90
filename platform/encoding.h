#pragma once

#include <string>
#include <string_view>

namespace zentil {

// Appends a file name to a report line in the report's code page: Windows-1252 on POSIX
// systems, the system's ANSI code page on Windows. A name that is valid UTF-8 is decoded and
// each character that the code page lacks becomes one "?"; any other name is copied byte for
// byte. A carriage return or line feed becomes "?" either way, so the row stays one line.
void append_report_name(std::string& out, std::string_view name);

// A name as a report holds it (bytes in the report's code page, as above) in UTF-8. Every byte
// decodes to some character, so the result is always valid UTF-8.
std::string report_name_to_utf8(std::string_view bytes);

// Whether the system takes file names that differ in case alone for the same file (Windows).
bool file_names_ignore_case();

// What two names, as a report holds them, have in common when the system takes them for the
// same file: on Windows, whose names ignore case, the upper-case form of their characters; on
// POSIX systems the bytes themselves (names differ by any byte).
std::string report_name_key(std::string_view bytes);

}  // namespace zentil
