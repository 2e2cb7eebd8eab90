// The summary and the comparison as one JSON document, for scripts and dashboards.
#pragma once

#include <cstddef>
#include <string>

#include "report/kb_rows.h"

namespace zentil {

// The document, UTF-8, ending in a newline. Keys: processed (with a scan), rows, lines, score
// (lines / 100), kinds (with a scan), largest (`top` rows); with `comparison`, compare: before
// {rows, lines, score}, added, removed, changed (whole lists), unchanged.
std::string kb_json(const KbFigures& now, const KbComparison* comparison, std::size_t top);

}  // namespace zentil
