// A limit on how much a KB may grow from one release to the next, that a CI pipeline holds it
// to: a number of effective lines ("100") or a share of the earlier total ("2.5%").
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zentil {

struct GrowthBudget {
  bool percent = false;
  // The limit: lines, or a percent as `value` / 10^`decimals`.
  std::int64_t value = 0;
  int decimals = 0;
};

// "N" (whole lines) or "P%" (P with "." or "," before at most six decimals); none when `text`
// is neither, or negative.
std::optional<GrowthBudget> parse_growth_budget(std::string_view text);

// One step of a KB judged against a budget.
struct GrowthVerdict {
  GrowthBudget budget;
  std::int64_t before = 0;  // effective lines before the step
  std::int64_t growth = 0;  // lines gained (less than 0 when the KB shrank)
  bool exceeded = false;    // it grew by more than the budget allows; a shrink never is
};

// The step from `before` to `after` effective lines. A percent is of the earlier total's size:
// from no lines at all, any growth is more than any share.
GrowthVerdict judge_growth(const GrowthBudget& budget, std::int64_t before, std::int64_t after);

}  // namespace zentil
