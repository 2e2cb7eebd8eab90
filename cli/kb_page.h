// The summary and the comparison as one self-contained page: no network, no script, charts as
// inline SVG. It is well-formed XML as well as HTML (polyglot), so a strict parser reads it.
#pragma once

#include <cstddef>
#include <string>

#include "report/kb_rows.h"

namespace zentil {

struct KbPageOptions {
  std::string source;                   // the spec folder, or the later report compared
  std::string earlier;                  // the earlier report, with a comparison
  std::size_t top = 10;                 // rows in the lists and charts
  std::string decimal_separator = ".";  // of the figures shown
};

// The page, UTF-8. Every figure it states carries its plain value in a data-value attribute
// (the score as lines / 100 with "."), beside the text shown in the user's locale.
std::string kb_page(const KbFigures& now, const KbComparison* comparison,
                    const KbPageOptions& options);

}  // namespace zentil
