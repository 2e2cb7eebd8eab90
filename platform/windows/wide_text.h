// Text is UTF-8 inside the program and UTF-16 at the system's calls. Windows names may hold lone
// surrogates, which UTF-8 cannot; they travel as the three bytes UTF-8 would give their code
// (the "WTF-8" extension), so every name the system lists can be handed back to it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentil {

std::string to_utf8(std::wstring_view text);

// The UTF-16 form of `text` in `out`. A byte that is no part of a UTF-8 (or WTF-8) character
// becomes U+FFFD, and then the result is false.
bool to_wide(std::string_view text, std::wstring& out);
std::wstring to_wide(std::string_view text);

// `text` in code page `code_page`. Each character the code page lacks becomes one "?", never a
// look-alike ("Ā" is no "A"), so that no name is shown as some other name.
std::string to_code_page(std::wstring_view text, unsigned code_page);

// The program's arguments, as wmain receives them, in UTF-8.
std::vector<std::string> utf8_arguments(int argc, wchar_t** argv);

}  // namespace zentil
