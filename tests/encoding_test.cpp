// Names in Windows-1252: every character the code page has maps to its one byte.
#include "platform/encoding.h"

#include <gtest/gtest.h>

namespace zentil {
namespace {

std::string encode(std::string_view name) {
  std::string out;
  append_report_name(out, name);
  return out;
}

// UTF-8 of one code point.
std::string utf8(char32_t cp) {
  std::string s;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

TEST(Windows1252, LatinOneRangeMapsToItself) {
  for (char32_t cp = 0xA0; cp <= 0xFF; ++cp) {
    EXPECT_EQ(encode(utf8(cp)), std::string(1, static_cast<char>(cp)))
        << std::hex << static_cast<unsigned>(cp);
  }
}

TEST(Windows1252, TheHighControlBlock) {
  const std::vector<std::pair<char32_t, unsigned char>> cases = {
      {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x2026, 0x85}, {0x0160, 0x8A},
      {0x0152, 0x8C}, {0x017D, 0x8E}, {0x2018, 0x91}, {0x201D, 0x94}, {0x2014, 0x97},
      {0x2122, 0x99}, {0x0161, 0x9A}, {0x0153, 0x9C}, {0x017E, 0x9E}, {0x0178, 0x9F},
      {0x0081, 0x81}, {0x008D, 0x8D}};
  for (const auto& [cp, byte] : cases) {
    EXPECT_EQ(encode(utf8(cp)), std::string(1, static_cast<char>(byte)))
        << std::hex << static_cast<unsigned>(cp);
  }
  EXPECT_EQ(encode(utf8(0x0080)), "?");
  EXPECT_EQ(encode(utf8(0x0100)), "?");
}

TEST(Windows1252, MixedNameDecodesEveryCharacter) {
  EXPECT_EQ(encode("Se\xC3\xB1or \xE2\x80\x9C"
                   "a\xE2\x80\x9D \xD0\x96"),
            "Se\xF1or \x93"
            "a\x94 ?");
}

}  // namespace
}  // namespace zentil
