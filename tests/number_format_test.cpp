// The score as the closing message shows it.
#include "platform/number_format.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <limits>

namespace zentil {
namespace {

TEST(ScoreFormat, TwoLocales) {
  struct Case {
    std::int64_t score;
    const char* point;
    const char* comma;
  };
  const std::vector<Case> cases = {
      {155, "1.55", "1,55"},
      {1200, "12", "12"},
      {1234, "12.34", "12,34"},
      {7, "0.07", "0,07"},
      {70, "0.7", "0,7"},
      {0, "0", "0"},
      {-5, "-0.05", "-0,05"},
      {-1234, "-12.34", "-12,34"},
      {-100, "-1", "-1"},
      {123456789012345, "1234567890123.45", "1234567890123,45"},
      {999999999999999, "9999999999999.99", "9999999999999,99"},
      {1000000000000000, "10000000000000", "10000000000000"},
      {1234567890123456, "12345678901234.6", "12345678901234,6"},
      {-99999999999999999, "-1E+15", "-1E+15"},
      {std::numeric_limits<std::int64_t>::max(), "9.22337203685478E+16", "9,22337203685478E+16"},
      {std::numeric_limits<std::int64_t>::min(), "-9.22337203685478E+16", "-9,22337203685478E+16"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(format_score(c.score, "."), c.point) << c.score;
    EXPECT_EQ(format_score(c.score, ","), c.comma) << c.score;
  }
}

#ifndef _WIN32
TEST(ScoreFormat, SeparatorComesFromTheNumericLocale) {
  ::setenv("LC_ALL", "C", 1);
  EXPECT_EQ(user_decimal_separator(), ".");
  ::setenv("LC_ALL", "es_ES.UTF-8", 1);
  const std::string spanish = user_decimal_separator();
  ::unsetenv("LC_ALL");
  if (spanish == ".") GTEST_SKIP() << "es_ES.UTF-8 is not installed (scripts/install-deps.sh)";
  EXPECT_EQ(spanish, ",");
}
#endif

}  // namespace
}  // namespace zentil
