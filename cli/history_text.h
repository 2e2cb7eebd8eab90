// A KB's history as text for a terminal.
#pragma once

#include <string>

#include "cli/kb_text.h"
#include "report/saved_series.h"

namespace zentil {

// One line per release (objects, effective lines and score, each with its change from the
// release before), then what changed from the first release to the last: the totals, the
// objects that grew and shrank most, and those added and removed. Begins with an empty line.
std::string history_text(const KbHistory& history, const KbTextOptions& options);

}  // namespace zentil
