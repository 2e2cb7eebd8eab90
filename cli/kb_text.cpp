#include "cli/kb_text.h"

#include <algorithm>
#include <array>
#include <vector>

#include "cli/kb_numbers.h"
#include "platform/number_format.h"

namespace zentil {
namespace {

// A table whose first column is left-aligned and the others right-aligned, two spaces apart,
// indented by two.
class Table {
 public:
  void add(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }

  std::string text() const {
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

 private:
  std::vector<std::vector<std::string>> rows_;
};

std::string largest_heading(std::size_t shown) {
  if (shown == 1) return "El objeto más grande:\n";
  return "Los " + std::to_string(shown) + " objetos más grandes:\n";
}

// One list of the comparison: at most `top` rows, then how many more there are.
template <typename Row, typename Cells>
std::string change_list(const char* what, const std::vector<Row>& rows, std::size_t top,
                        Cells cells) {
  std::string out = "\nObjetos " + std::string(what);
  if (rows.empty()) return out + ": ninguno\n";
  out += " (" + std::to_string(rows.size()) + "):\n";
  Table table;
  table.add({"Objeto", "Antes", "Ahora", "Diferencia"});
  for (std::size_t i = 0; i < rows.size() && i < top; ++i) table.add(cells(rows[i]));
  out += table.text();
  if (rows.size() > top) out += "  ... y " + std::to_string(rows.size() - top) + " más\n";
  return out;
}

}  // namespace

std::string summary_text(const KbFigures& now, const KbTextOptions& options) {
  const std::string& sep = options.decimal_separator;
  std::string out;
  if (now.kinds) {
    Table table;
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
  Table table;
  table.add({"Objeto", "Líneas", "Parte"});
  for (const KbRow& row : largest) {
    table.add({row.name, std::to_string(row.lines), share_text(row.lines, now.rows.total(), sep)});
  }
  return out + "\n" + largest_heading(largest.size()) + table.text();
}

std::string comparison_text(const KbFigures& now, const KbComparison& comparison,
                            const std::string& earlier, const KbTextOptions& options) {
  const std::string& sep = options.decimal_separator;
  const auto rows_now = static_cast<std::int64_t>(now.rows.size());
  const auto rows_before = static_cast<std::int64_t>(comparison.rows_before);
  std::string out = "\nComparado con el informe anterior " + earlier + ":\n";
  out += "  Zentil de la KB: " + format_score(comparison.lines_before, sep) + " -> " +
         format_score(now.rows.total(), sep) + " (" +
         signed_score(now.rows.total() - comparison.lines_before, sep) + ")\n";
  out += "  Objetos: " + std::to_string(rows_before) + " -> " + std::to_string(rows_now) + " (" +
         signed_count(rows_now - rows_before) + ")\n";
  out += "  Líneas: " + std::to_string(comparison.lines_before) + " -> " +
         std::to_string(now.rows.total()) + " (" +
         signed_count(now.rows.total() - comparison.lines_before) + ")\n";
  out += "  Agregados: " + std::to_string(comparison.added.size()) +
         ", quitados: " + std::to_string(comparison.removed.size()) +
         ", cambiados: " + std::to_string(comparison.changed.size()) +
         ", sin cambios: " + std::to_string(comparison.unchanged) + "\n";

  const std::size_t top = options.top;
  out += change_list("agregados", comparison.added, top, [](const KbRow& r) {
    return std::vector<std::string>{r.name, "-", std::to_string(r.lines), signed_count(r.lines)};
  });
  out += change_list("quitados", comparison.removed, top, [](const KbRow& r) {
    return std::vector<std::string>{r.name, std::to_string(r.lines), "-", signed_count(-r.lines)};
  });
  out += change_list("cambiados", comparison.changed, top, [](const KbChange& c) {
    return std::vector<std::string>{c.name, std::to_string(c.before), std::to_string(c.after),
                                    signed_count(c.after - c.before)};
  });
  return out;
}

}  // namespace zentil
