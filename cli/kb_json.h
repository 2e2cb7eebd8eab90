// What a command shows as one JSON document, for scripts and dashboards.
#pragma once

#include <cstddef>
#include <string>

#include "cli/kb_outcome.h"

namespace zentil {

// The document, UTF-8, ending in a newline. Keys: processed (with a scan), rows, lines, score
// (lines / 100), kinds (with a scan), largest (`top` rows); with a comparison, compare: before
// {rows, lines, score}, added, removed, changed (whole lists), unchanged; with a history,
// history [{label, rows, lines, score}] and span {first, last, grew, shrank, added, removed,
// unchanged}; with a budget, budget {limit, growth, exceeded}.
std::string kb_json(const KbOutcome& outcome, std::size_t top);

}  // namespace zentil
