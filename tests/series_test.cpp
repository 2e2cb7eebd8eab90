// The order and the labels of a KB's releases, which decide every history drawn of them.
#include <gtest/gtest.h>

#include "report/saved_series.h"

namespace zentil {
namespace {

TEST(Series, NaturalOrderOfLabels) {
  const struct {
    const char *before, *after;
  } ordered[] = {
      {"1.9", "1.10"},
      {"v2", "v10"},
      {"2026-03-01", "2026-11-30"},
      {"2026-12-07", "2026-12-07-2"},
      {"2026-12-07-9", "2026-12-07-10"},
      {"1.10", "1.10.1"},
      {"01", "1"},
      {"1", "02"},  // equal numbers go by their bytes; else by value
      {"a9", "b1"},
      {"1", "a"},
  };
  for (const auto& [before, after] : ordered) {
    EXPECT_TRUE(natural_less(before, after)) << before << " < " << after;
    EXPECT_FALSE(natural_less(after, before)) << after << " < " << before;
  }
  EXPECT_FALSE(natural_less("1.10", "1.10"));
}

TEST(Series, LabelsFromFileNames) {
  using Names = std::vector<std::string>;
  const struct {
    Names names;
    const char* stem;
    Names labels;
  } cases[] = {
      {{"KBReport-2026-12-07.csv", "KBReport-2026-12-08.CSV"}, "", {"2026-12-07", "2026-12-08"}},
      {{"mi-kb-1.4.csv", "mi-kb-1.5.csv"}, "", {"1.4", "1.5"}},
      {{"mi-kb-beta-1.csv", "mi-kb-beta-2.csv"}, "mi-kb", {"beta-1", "beta-2"}},
      {{"KBReport-1.csv", "KBReport.csv"}, "", {"KBReport-1", "KBReport"}},
      {{"a-.csv", "a-b.csv"}, "", {"a-", "a-b"}},  // no label is left empty
      {{"v1-rc.csv"}, "", {"v1-rc"}},              // a "-" after a digit is inside the label
  };
  for (const auto& c : cases) EXPECT_EQ(release_labels(c.names, c.stem), c.labels) << c.names[0];
}

}  // namespace
}  // namespace zentil
