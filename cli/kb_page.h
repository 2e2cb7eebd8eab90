// What a command shows as one self-contained page: no network, no script, charts as inline SVG.
// It is well-formed XML as well as HTML (polyglot), so a strict parser reads it.
#pragma once

#include <cstddef>
#include <string>

#include "cli/kb_outcome.h"

namespace zentil {

struct KbPageOptions {
  std::string source;                   // the spec folder, or the later (last) report
  std::string earlier;                  // the earlier report, with a comparison
  std::size_t top = 10;                 // rows in the lists and charts
  std::string decimal_separator = ".";  // of the figures shown
};

// The page, UTF-8. Every figure it states carries its plain value in a data-value attribute
// (a score as lines / 100 with "."), beside the text shown in the user's locale.
std::string kb_page(const KbOutcome& outcome, const KbPageOptions& options);

}  // namespace zentil
