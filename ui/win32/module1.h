// Module1: the system's modal folder-browse dialog over the window.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace zentil::ui::win32 {

// Shows the shell's folder dialog over `owner` with `prompt` above the folder tree, starting at
// the desktop. The chosen folder's path as the system writes it (UTF-8, no separator added), or
// "" when the user cancels or picks something that is no folder of the file system.
std::string BrowseForFolder(HWND owner, std::string_view prompt);

}  // namespace zentil::ui::win32
