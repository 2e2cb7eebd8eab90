// A KB's history as sections of the page.
#pragma once

#include <cstddef>
#include <string>

#include "cli/page_markup.h"
#include "report/saved_series.h"

namespace zentil {

// The score over the releases as a line chart (a point per release, with its label) and the
// table of releases; then what changed from the first release to the last: the totals, the
// `top` objects that grew and shrank most as bars on either side of zero, and every object that
// grew, shrank, was added or was removed, in tables that unfold.
std::string history_sections(const KbHistory& history, const page::Page& page, std::size_t top);

}  // namespace zentil
