// What one command shows: a KB as it is now, and what it is measured against.
#pragma once

#include <optional>

#include "report/growth_budget.h"
#include "report/kb_rows.h"
#include "report/saved_series.h"

namespace zentil {

struct KbOutcome {
  KbFigures now;                           // the scan, or the later (last) saved report
  std::optional<KbComparison> comparison;  // with --compare
  std::optional<KbHistory> history;        // with --history
  std::optional<GrowthVerdict> budget;     // with --max-growth: the last step judged
};

}  // namespace zentil
