#include "platform/windows/wide_text.h"

#include <windows.h>

namespace zentil {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;

bool is_high_surrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool is_low_surrogate(char32_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string to_utf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (is_high_surrogate(c) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
      append_utf8(out, 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00));
    } else {
      append_utf8(out, c);  // a lone surrogate too
    }
  }
  return out;
}

bool to_wide(std::string_view text, std::wstring& out) {
  out.clear();
  out.reserve(text.size());
  bool valid = true;
  for (std::size_t i = 0; i < text.size();) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    std::size_t len = 0;
    char32_t cp = b0;
    if (b0 < 0x80) {
      len = 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
      len = 2, cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
      len = 3, cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
      len = 4, cp = b0 & 0x07;
    }
    bool ok = len != 0 && i + len <= text.size();
    for (std::size_t k = 1; ok && k < len; ++k) {
      const auto b = static_cast<unsigned char>(text[i + k]);
      ok = (b & 0xC0) == 0x80;
      cp = (cp << 6) | (b & 0x3F);
    }
    // Overlong forms and code points past Unicode's end are no characters; surrogates are.
    ok = ok && !(len == 3 && cp < 0x800) && !(len == 4 && (cp < 0x10000 || cp > 0x10FFFF));
    if (!ok) {
      out += kReplacement;
      valid = false;
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      out += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<wchar_t>(cp);
    }
    i += len;
  }
  return valid;
}

std::wstring to_wide(std::string_view text) {
  std::wstring out;
  to_wide(text, out);
  return out;
}

std::string to_code_page(std::wstring_view text, unsigned code_page) {
  // The system would give two "?" for a character beyond U+FFFF, one per surrogate: each such
  // character, and each lone surrogate, becomes one "?" first. UTF-8 holds all but the lone.
  std::wstring plain;
  plain.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (is_high_surrogate(c) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
      if (code_page == CP_UTF8) {
        plain += c;
        plain += text[i + 1];
      } else {
        plain += L'?';
      }
      ++i;
    } else {
      plain += is_high_surrogate(c) || is_low_surrogate(c) ? L'?' : c;
    }
  }
  if (code_page == CP_UTF8) return to_utf8(plain);
  if (plain.empty()) return {};

  const int size = static_cast<int>(plain.size());
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  const char* fallback = "?";
  int n = WideCharToMultiByte(code_page, flags, plain.data(), size, nullptr, 0, fallback, nullptr);
  if (n == 0) {
    // A few code pages take neither flags nor a default character.
    flags = 0;
    fallback = nullptr;
    n = WideCharToMultiByte(code_page, flags, plain.data(), size, nullptr, 0, nullptr, nullptr);
  }
  std::string out(static_cast<std::size_t>(n), '\0');
  if (n == 0 || WideCharToMultiByte(code_page, flags, plain.data(), size, out.data(), n, fallback,
                                    nullptr) != n) {
    // No such code page here: ASCII, which every code page shares, and "?" for the rest.
    out.clear();
    for (const wchar_t c : plain) out += c < 0x80 ? static_cast<char>(c) : '?';
  }
  return out;
}

std::vector<std::string> utf8_arguments(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  args.reserve(static_cast<std::size_t>(argc));
  for (int i = 0; i < argc; ++i) args.push_back(to_utf8(argv[i]));
  return args;
}

}  // namespace zentil
