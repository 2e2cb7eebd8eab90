#include "cli/kb_text.h"

#include <vector>

#include "cli/kb_numbers.h"
#include "cli/text_parts.h"
#include "platform/number_format.h"

namespace zentil {
namespace {

std::string largest_heading(std::size_t shown) {
  if (shown == 1) return "El objeto más grande:\n";
  return "Los " + std::to_string(shown) + " objetos más grandes:\n";
}

}  // namespace

std::string summary_text(const KbFigures& now, const KbTextOptions& options) {
  const std::string& sep = options.decimal_separator;
  std::string out;
  if (now.kinds) {
    TextTable table;
    table.add({"Tipo", "Objetos", "Líneas", "Parte"});
    for (std::size_t k = 0; k < kKindNames.size(); ++k) {
      const KindTotals& t = (*now.kinds)[k];
      table.add({kKindNames[k], std::to_string(t.files), std::to_string(t.lines),
                 share_text(t.lines, now.rows.total(), sep)});
    }
    table.add({"Total", std::to_string(now.rows.size()), std::to_string(now.rows.total()),
               share_text(now.rows.total(), now.rows.total(), sep)});
    out += "\nTamaño por tipo de objeto:\n" + table.text();
  }
  if (options.top == 0) return out;
  const std::vector<KbRow> largest = largest_rows(now.rows, options.top);
  if (largest.empty()) return out + "\nNingún objeto que listar.\n";
  TextTable table;
  table.add({"Objeto", "Líneas", "Parte"});
  for (const KbRow& row : largest) {
    table.add({row.name, std::to_string(row.lines), share_text(row.lines, now.rows.total(), sep)});
  }
  return out + "\n" + largest_heading(largest.size()) + table.text();
}

std::string comparison_text(const KbFigures& now, const KbComparison& comparison,
                            const std::string& earlier, const KbTextOptions& options) {
  const std::string& sep = options.decimal_separator;
  std::string out = "\nComparado con el informe anterior " + earlier + ":\n";
  out += totals_lines(comparison.rows_before, comparison.lines_before, now.rows.size(),
                      now.rows.total(), sep);
  out += "  Agregados: " + std::to_string(comparison.added.size()) +
         ", quitados: " + std::to_string(comparison.removed.size()) +
         ", cambiados: " + std::to_string(comparison.changed.size()) +
         ", sin cambios: " + std::to_string(comparison.unchanged) + "\n";

  const std::size_t top = options.top;
  out += change_list("agregados", comparison.added, top, added_cells);
  out += change_list("quitados", comparison.removed, top, removed_cells);
  out += change_list("cambiados", comparison.changed, top, changed_cells);
  return out;
}

}  // namespace zentil
