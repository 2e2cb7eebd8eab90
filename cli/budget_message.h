// What the command says when a KB grew by more than its budget.
#pragma once

#include <optional>
#include <string>

#include "report/growth_budget.h"

namespace zentil {

// The growth as a share of the earlier total, in tenths of a percent; none from no lines.
std::optional<std::int64_t> growth_tenths(const GrowthVerdict& verdict);

// "El Zentil de la KB creció +1.25 (+125 líneas, +4.1 %), más que el límite de +100 líneas",
// with `decimal_separator` in the figures.
std::string budget_message(const GrowthVerdict& verdict, const std::string& decimal_separator);

}  // namespace zentil
