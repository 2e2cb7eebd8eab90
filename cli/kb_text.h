// The summary and the comparison as text for a terminal: columns aligned, numbers exact.
#pragma once

#include <cstddef>
#include <string>

#include "report/kb_rows.h"

namespace zentil {

struct KbTextOptions {
  std::size_t top = 10;                 // objects listed in each list
  std::string decimal_separator = ".";  // of scores and shares
};

// Where the size lies: by kind of object (when the figures come from a scan) and the largest
// objects. Begins with an empty line, to follow the two closing messages.
std::string summary_text(const KbFigures& now, const KbTextOptions& options);

// What changed since the report at `earlier` (as the user named it). Begins with an empty line.
std::string comparison_text(const KbFigures& now, const KbComparison& comparison,
                            const std::string& earlier, const KbTextOptions& options);

}  // namespace zentil
