#include "platform/encoding.h"

#include <array>
#include <cstdint>
#include <optional>

namespace zentil {
namespace {

// Code points of Windows-1252 bytes 0x80..0x9F. The five bytes the code page leaves undefined
// map to the same C1 code point, as the system's own conversion does.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char to_windows1252(char32_t cp) {
  if (cp == U'\r' || cp == U'\n') return '?';
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == cp) return static_cast<char>(0x80 + i);
  }
  return '?';
}

// Decodes one UTF-8 sequence at the front of `s`, strictly (no overlongs, no surrogates).
std::optional<char32_t> decode_one(std::string_view& s) {
  const auto b0 = static_cast<unsigned char>(s[0]);
  std::size_t len;
  char32_t cp;
  if (b0 < 0x80) {
    s.remove_prefix(1);
    return b0;
  } else if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2, cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3, cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4, cp = b0 & 0x07;
  } else {
    return std::nullopt;
  }
  if (s.size() < len) return std::nullopt;
  for (std::size_t i = 1; i < len; ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if ((b & 0xC0) != 0x80) return std::nullopt;
    cp = (cp << 6) | (b & 0x3F);
  }
  if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF)) {
    return std::nullopt;
  }
  s.remove_prefix(len);
  return cp;
}

bool is_ascii(std::string_view s) {
  for (const char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void append_bytes(std::string& out, std::string_view name) {
  const std::size_t start = out.size();
  out.append(name);
  for (std::size_t i = start; i < out.size(); ++i) {
    if (out[i] == '\r' || out[i] == '\n') out[i] = '?';
  }
}

}  // namespace

void append_report_name(std::string& out, std::string_view name) {
  if (is_ascii(name)) return append_bytes(out, name);
  const std::size_t start = out.size();
  for (std::string_view rest = name; !rest.empty();) {
    const auto cp = decode_one(rest);
    if (!cp) {
      out.resize(start);
      return append_bytes(out, name);
    }
    out += to_windows1252(*cp);
  }
}

std::string report_name_to_utf8(std::string_view bytes) {
  if (is_ascii(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    append_utf8(out, byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char32_t{byte});
  }
  return out;
}

bool file_names_ignore_case() {
  return false;
}

std::string report_name_key(std::string_view bytes) {
  return std::string(bytes);
}

}  // namespace zentil
