#include "report/growth_budget.h"

namespace zentil {
namespace {

constexpr int kMaxDecimals = 6;
// No KB comes near this many lines; the products below stay within 128 bits.
constexpr std::int64_t kMaxValue = 1'000'000'000'000'000'000;

}  // namespace

std::optional<GrowthBudget> parse_growth_budget(std::string_view text) {
  GrowthBudget budget;
  if (text.ends_with('%')) {
    budget.percent = true;
    text.remove_suffix(1);
  }
  bool digits = false, point = false;
  for (const char c : text) {
    if ((c == '.' || c == ',') && budget.percent && !point && digits) {
      point = true;
    } else if (c >= '0' && c <= '9' && budget.value <= kMaxValue / 10 &&
               budget.decimals < kMaxDecimals) {
      budget.value = budget.value * 10 + (c - '0');
      budget.decimals += point;
      digits = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digits || text.ends_with('.') || text.ends_with(',')) return std::nullopt;
  return budget;
}

GrowthVerdict judge_growth(const GrowthBudget& budget, std::int64_t before, std::int64_t after) {
  GrowthVerdict verdict{budget, before, after - before, false};
  if (verdict.growth <= 0) return verdict;
  if (!budget.percent) {
    verdict.exceeded = verdict.growth > budget.value;
    return verdict;
  }
  // growth > value / 10^decimals % of |before|, in whole numbers.
  __extension__ using Wide = __int128;
  Wide scale = 100;
  for (int d = 0; d < budget.decimals; ++d) scale *= 10;
  const Wide size = before < 0 ? -Wide{before} : Wide{before};
  verdict.exceeded = Wide{verdict.growth} * scale > Wide{budget.value} * size;
  return verdict;
}

}  // namespace zentil
