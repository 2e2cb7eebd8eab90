// The window program's own options: --help and --version, in Spanish.
#pragma once

#include <QStringList>
#include <optional>

namespace zentil::ui::qt {

// Reads the arguments of `zentil` (the program name first). Prints the help or the version on
// standard output and returns 0, or prints a usage error on standard error and returns 2, when
// the program should end without opening the window; returns nothing when the window should
// open. Qt's own options (-platform, -display, …) are unknown here: until `qt_options_removed`
// (the application has taken them out), arguments that are not understood are left for later
// instead of being an error, so that --help and --version need no display when given alone;
// without a display (where Qt cannot start) they are an error at once.
std::optional<int> handle_command_line(const QStringList& arguments, bool qt_options_removed);

}  // namespace zentil::ui::qt
