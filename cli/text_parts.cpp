#include "cli/text_parts.h"

#include <algorithm>

#include "cli/kb_numbers.h"
#include "platform/number_format.h"

namespace zentil {

std::string TextTable::text() const {
  std::vector<std::size_t> widths;
  for (const auto& row : rows_) {
    widths.resize(std::max(widths.size(), row.size()));
    for (std::size_t c = 0; c < row.size(); ++c) {
      widths[c] = std::max(widths[c], text_width(row[c]));
    }
  }
  std::string out;
  for (const auto& row : rows_) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      const std::string pad(widths[c] - text_width(row[c]), ' ');
      line += "  ";
      line += c == 0 ? row[c] + pad : pad + row[c];
    }
    while (line.ends_with(' ')) line.pop_back();
    out += line + "\n";
  }
  return out;
}

std::vector<std::string> added_cells(const KbRow& row) {
  return {row.name, "-", std::to_string(row.lines), signed_count(row.lines)};
}

std::vector<std::string> removed_cells(const KbRow& row) {
  return {row.name, std::to_string(row.lines), "-", signed_count(-row.lines)};
}

std::vector<std::string> changed_cells(const KbChange& change) {
  return {change.name, std::to_string(change.before), std::to_string(change.after),
          signed_count(change.after - change.before)};
}

std::string totals_lines(std::size_t rows_before, std::int64_t lines_before, std::size_t rows_after,
                         std::int64_t lines_after, const std::string& decimal_separator) {
  const auto before = static_cast<std::int64_t>(rows_before);
  const auto after = static_cast<std::int64_t>(rows_after);
  return "  Zentil de la KB: " + format_score(lines_before, decimal_separator) + " -> " +
         format_score(lines_after, decimal_separator) + " (" +
         signed_score(lines_after - lines_before, decimal_separator) +
         ")\n  Objetos: " + std::to_string(before) + " -> " + std::to_string(after) + " (" +
         signed_count(after - before) + ")\n  Líneas: " + std::to_string(lines_before) + " -> " +
         std::to_string(lines_after) + " (" + signed_count(lines_after - lines_before) + ")\n";
}

}  // namespace zentil
