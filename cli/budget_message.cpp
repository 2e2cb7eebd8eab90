#include "cli/budget_message.h"

#include "cli/kb_numbers.h"

namespace zentil {
namespace {

std::string lines_text(std::int64_t lines) {
  return signed_count(lines) + (lines == 1 || lines == -1 ? " línea" : " líneas");
}

std::string limit_text(const GrowthBudget& budget, const std::string& separator) {
  if (!budget.percent) return lines_text(budget.value);
  std::string digits = std::to_string(budget.value);
  const auto decimals = static_cast<std::size_t>(budget.decimals);
  if (digits.size() <= decimals) digits.insert(0, decimals + 1 - digits.size(), '0');
  if (decimals > 0) digits.insert(digits.size() - decimals, separator);
  return "+" + digits + " %";
}

}  // namespace

std::optional<std::int64_t> growth_tenths(const GrowthVerdict& verdict) {
  std::int64_t tenths = 0;
  if (!share_tenths(verdict.growth, verdict.before < 0 ? -verdict.before : verdict.before,
                    tenths)) {
    return std::nullopt;
  }
  return tenths;
}

std::string budget_message(const GrowthVerdict& verdict, const std::string& decimal_separator) {
  std::string out = "El Zentil de la KB creció " + signed_score(verdict.growth, decimal_separator) +
                    " (" + lines_text(verdict.growth);
  if (verdict.before != 0) {
    out += ", +" + share_text(verdict.growth, verdict.before < 0 ? -verdict.before : verdict.before,
                              decimal_separator);
  }
  return out + "), más que el límite de " + limit_text(verdict.budget, decimal_separator);
}

}  // namespace zentil
