#include "cli/history_text.h"

#include "cli/kb_numbers.h"
#include "cli/text_parts.h"
#include "platform/number_format.h"

namespace zentil {

std::string history_text(const KbHistory& history, const KbTextOptions& options) {
  const std::string& sep = options.decimal_separator;
  const std::vector<ReleaseTotals>& releases = history.releases;
  const std::size_t n = releases.size();
  std::string out =
      "\nHistoria de la KB (" + std::to_string(n) + (n == 1 ? " versión" : " versiones") + "):\n";
  TextTable table;
  table.add({"Versión", "Objetos", "Líneas", "Diferencia", "Zentil", "Cambio"});
  for (std::size_t i = 0; i < n; ++i) {
    const ReleaseTotals& r = releases[i];
    const std::int64_t change = i == 0 ? 0 : r.lines - releases[i - 1].lines;
    table.add({r.label, std::to_string(r.rows), std::to_string(r.lines),
               i == 0 ? "-" : signed_count(change), format_score(r.lines, sep),
               i == 0 ? "-" : signed_score(change, sep)});
  }
  out += table.text();

  const ReleaseTotals &first = releases.front(), &last = releases.back();
  out += "\nDe " + first.label + " a " + last.label + ":\n";
  out += totals_lines(first.rows, first.lines, last.rows, last.lines, sep);
  out += "  Agregados: " + std::to_string(history.added.size()) +
         ", quitados: " + std::to_string(history.removed.size()) +
         ", crecieron: " + std::to_string(history.grew.size()) +
         ", decrecieron: " + std::to_string(history.shrank.size()) +
         ", sin cambios: " + std::to_string(history.unchanged) + "\n";
  out += change_list("que más crecieron", history.grew, options.top, changed_cells);
  out += change_list("que más decrecieron", history.shrank, options.top, changed_cells);
  out += change_list("agregados", history.added, options.top, added_cells);
  out += change_list("quitados", history.removed, options.top, removed_cells);
  return out;
}

}  // namespace zentil
