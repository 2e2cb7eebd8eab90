#pragma once

#include <string>
#include <string_view>

namespace zentil {

// The form of `path` (UTF-8, as typed or joined) that the system's calls take: a full path in
// UTF-16, made against the current directory, with "\" separators, without "." and ".." parts,
// and with "\\?\" before it, so that a path of any length works. A path already in that form,
// and a device path ("\\.\"), are taken as they are.
std::wstring system_path(std::string_view path);

// system_path() of a folder joined with an entry name that its listing gave: the folder as the
// listing read it, and the name exactly as listed. system_path() of the joined path would take
// a name such as "nul.spc" or "aux.trn.spc" for a device, and trim a final "." or " ".
std::wstring entry_path(std::string_view path);

// The folder part of a full system path; a drive's root keeps its "\" ("\\?\C:\").
std::wstring folder_of(std::wstring_view full_path);

// The last part of a full system path.
std::wstring_view name_of(std::wstring_view full_path);

}  // namespace zentil
