// A second, deliberately plain reading of the scanning rules, used only to check the real
// scanner. It follows the rules step by step (positions from 1, searches that give 0, the level
// names kept as one "?"-joined text and split for every table line) and is slow on purpose.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "metrics/file_metrics.h"

namespace zentil::fuzz {

// The lines of `bytes`: CR or CR LF ends a line, a lone LF is an ordinary character, a last line
// without a terminator counts, nothing after the last terminator is no line.
std::vector<std::string_view> reference_lines(std::string_view bytes);

struct ReferenceScan {
  FileMetrics metrics;
  char kind = 'O';
};

ReferenceScan reference_scan(std::string_view bytes);

}  // namespace zentil::fuzz
