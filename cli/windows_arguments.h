// The command line as people write it at a Windows prompt, before the options are parsed.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zentil {

// `args` are the program's arguments in UTF-8, the program's name first. "/?", the help switch
// of every Windows command, becomes "--help" (before a "--"). An argument that holds a '"' was
// split wrongly: Windows takes a "\" just before a quote as an escaped quote, so a quoted folder
// that ends in "\" swallows the quote and whatever follows. No name can hold a '"', so the
// result is the message that says how to write such a folder; nothing when all is well.
std::optional<std::string> adapt_windows_arguments(std::vector<std::string>& args);

}  // namespace zentil
