// The pieces of the terminal's texts that the summary, the comparison and the history share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "report/kb_rows.h"

namespace zentil {

// A table whose first column is left-aligned and the others right-aligned, two spaces apart,
// indented by two.
class TextTable {
 public:
  void add(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }
  std::string text() const;

 private:
  std::vector<std::vector<std::string>> rows_;
};

// One list of changes: its heading ("\nObjetos <what> (N):"), at most `top` rows, then how many
// more there are; ": ninguno" when there is none.
template <typename Row, typename Cells>
std::string change_list(const char* what, const std::vector<Row>& rows, std::size_t top,
                        Cells cells) {
  std::string out = "\nObjetos " + std::string(what);
  if (rows.empty()) return out + ": ninguno\n";
  out += " (" + std::to_string(rows.size()) + "):\n";
  TextTable table;
  table.add({"Objeto", "Antes", "Ahora", "Diferencia"});
  for (std::size_t i = 0; i < rows.size() && i < top; ++i) table.add(cells(rows[i]));
  out += table.text();
  if (rows.size() > top) out += "  ... y " + std::to_string(rows.size() - top) + " más\n";
  return out;
}

// The cells of an added, a removed and a changed object in such a list.
std::vector<std::string> added_cells(const KbRow& row);
std::vector<std::string> removed_cells(const KbRow& row);
std::vector<std::string> changed_cells(const KbChange& change);

// The score, the objects and the lines before and after, each with its difference.
std::string totals_lines(std::size_t rows_before, std::int64_t lines_before, std::size_t rows_after,
                         std::int64_t lines_after, const std::string& decimal_separator);

}  // namespace zentil
