#include "cli/kb_page.h"

#include <algorithm>
#include <array>
#include <vector>

#include "cli/budget_message.h"
#include "cli/history_page.h"
#include "cli/kb_numbers.h"
#include "cli/page_markup.h"

namespace zentil {
namespace {

using page::escape;
using page::kBarColour;
using page::kChartWidth;
using page::kLabelWidth;
using page::kRowHeight;
using page::label;
using page::Page;
using page::px;
using page::svg_open;

constexpr std::array<const char*, 4> kKindColours = {"#4e79a7", "#f28e2b", "#59a14f", "#9d9590"};

// One horizontal bar per row, from the left edge of the bar area.
std::string bars_chart(const std::vector<KbRow>& rows, const char* title) {
  const int area = kChartWidth - kLabelWidth - 70;
  std::int64_t most = 0;
  for (const KbRow& r : rows) most = std::max(most, r.lines);
  const int height = static_cast<int>(rows.size()) * kRowHeight + 4;
  std::string svg = svg_open(height, title);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const KbRow& r = rows[i];
    const double width = most > 0 && r.lines > 0 ? area * static_cast<double>(r.lines) / most : 0;
    const int y = static_cast<int>(i) * kRowHeight + 2;
    svg += "<text x=\"" + std::to_string(kLabelWidth - 8) + "\" y=\"" + std::to_string(y + 15) +
           "\" text-anchor=\"end\">" + escape(label(r.name)) + "</text>";
    svg += "<rect x=\"" + std::to_string(kLabelWidth) + "\" y=\"" + std::to_string(y + 3) +
           "\" width=\"" + px(width) + "\" height=\"16\" rx=\"2\" fill=\"" + kBarColour +
           "\"><title>" + escape(r.name) + ": " + std::to_string(r.lines) + "</title></rect>";
    svg += "<text x=\"" + px(kLabelWidth + width + 6) + "\" y=\"" + std::to_string(y + 15) + "\">" +
           std::to_string(r.lines) + "</text>\n";
  }
  return svg + "</svg>\n";
}

// The kinds' lines side by side in one bar (kinds of no more than 0 lines take no room).
std::string kinds_chart(const KindTable& kinds) {
  std::int64_t positive = 0;
  for (const KindTotals& k : kinds) positive += std::max<std::int64_t>(k.lines, 0);
  std::string svg = svg_open(30, "Líneas efectivas por tipo de objeto");
  if (positive == 0) {
    return svg + "<rect x=\"0\" y=\"2\" width=\"" + std::to_string(kChartWidth) +
           "\" height=\"26\" fill=\"#eaeef2\"/></svg>\n";
  }
  double x = 0;
  for (std::size_t k = 0; k < kinds.size(); ++k) {
    if (kinds[k].lines <= 0) continue;
    const double width = kChartWidth * static_cast<double>(kinds[k].lines) / positive;
    svg += "<rect x=\"" + px(x) + "\" y=\"2\" width=\"" + px(width) + "\" height=\"26\" fill=\"" +
           kKindColours[k] + "\"><title>" + kKindNames[k] + ": " + std::to_string(kinds[k].lines) +
           "</title></rect>\n";
    x += width;
  }
  return svg + "</svg>\n";
}

// Every change as one difference of lines: an added file's lines, a removed file's lost lines.
std::vector<KbRow> deltas_of(const KbComparison& c) {
  std::vector<KbRow> deltas;
  for (const KbRow& r : c.added) deltas.push_back(r);
  for (const KbRow& r : c.removed) deltas.push_back({r.name, -r.lines});
  for (const KbChange& ch : c.changed) deltas.push_back({ch.name, ch.after - ch.before});
  return deltas;
}

// The `top` largest increases, then the `top` largest decreases.
std::vector<KbRow> largest_changes(const KbComparison& c, std::size_t top) {
  std::vector<KbRow> ups, downs;
  for (KbRow& d : deltas_of(c)) (d.lines > 0 ? ups : downs).push_back(std::move(d));
  std::erase_if(downs, [](const KbRow& d) { return d.lines == 0; });
  sort_by_change(ups);
  sort_by_change(downs);
  ups.resize(std::min(ups.size(), top));
  downs.resize(std::min(downs.size(), top));
  ups.insert(ups.end(), downs.begin(), downs.end());
  return ups;
}

std::string compare_section(const KbFigures& now, const KbComparison& c, const Page& page,
                            const KbPageOptions& options) {
  const std::int64_t difference = now.rows.total() - c.lines_before;
  std::string html = "<section id=\"compare\">\n<h2>Cambios desde el informe anterior</h2>\n";
  html += "<p class=\"source\">Informe anterior: <code>" + escape(options.earlier) +
          "</code></p>\n<div class=\"totals\">\n";
  html += page.figure("score-before", Page::score_value(c.lines_before), page.score(c.lines_before),
                      "Zentil de la KB antes", true);
  html += page.figure("score-difference", Page::score_value(difference),
                      signed_score(difference, page.separator()), "diferencia", true);
  html += page.figure("rows-before", std::to_string(c.rows_before), std::to_string(c.rows_before),
                      "objetos antes");
  html += page.figure("lines-before", std::to_string(c.lines_before),
                      std::to_string(c.lines_before), "líneas efectivas antes");
  html += "</div>\n<p>Agregados: " + page.number(static_cast<std::int64_t>(c.added.size())) +
          " · quitados: " + page.number(static_cast<std::int64_t>(c.removed.size())) +
          " · cambiados: " + page.number(static_cast<std::int64_t>(c.changed.size())) +
          " · sin cambios: " + page.number(static_cast<std::int64_t>(c.unchanged)) + "</p>\n";
  const std::vector<KbRow> largest = largest_changes(c, options.top);
  if (!largest.empty()) {
    html += "<h3>Mayores aumentos y disminuciones</h3>\n" +
            page::changes_chart(largest, "Mayores aumentos y disminuciones de líneas efectivas");
  }
  // Each list whole, as the JSON gives it.
  const auto count = [](std::size_t n) { return " (" + std::to_string(n) + ")"; };
  html += page::rows_table("added", "Objetos agregados" + count(c.added.size()), c.added, true);
  html +=
      page::rows_table("removed", "Objetos quitados" + count(c.removed.size()), c.removed, false);
  html += page::changes_table("changed", "Objetos cambiados" + count(c.changed.size()), c.changed);
  return html + "</section>\n";
}

std::string kinds_section(const KbFigures& now, const Page& page) {
  std::string html = "<section id=\"kinds\">\n<h2>Tamaño por tipo de objeto</h2>\n" +
                     kinds_chart(*now.kinds) +
                     "<table id=\"kinds-table\"><thead><tr><th>Tipo</th><th class=\"n\">Objetos"
                     "</th><th class=\"n\">Líneas</th><th class=\"n\">Parte</th></tr></thead>"
                     "<tbody>\n";
  for (std::size_t k = 0; k < kKindNames.size(); ++k) {
    const KindTotals& t = (*now.kinds)[k];
    html += std::string("<tr data-kind=\"") + kKindKeys[k] +
            "\"><th><span class=\"swatch\" style=\"background:" + kKindColours[k] + "\"></span>" +
            kKindNames[k] + "</th>" + page.cell(t.files, "n files") +
            page.cell(t.lines, "n lines") + "<td class=\"n\">" +
            escape(share_text(t.lines, now.rows.total(), page.separator())) + "</td></tr>\n";
  }
  return html + "</tbody></table>\n</section>\n";
}

std::string largest_section(const KbFigures& now, const Page& page, std::size_t top) {
  const std::vector<KbRow> largest = largest_rows(now.rows, top);
  if (largest.empty()) return {};
  const std::string heading =
      largest.size() == 1 ? std::string("El objeto más grande")
                          : "Los " + std::to_string(largest.size()) + " objetos más grandes";
  std::string html = "<section id=\"largest-section\">\n<h2>" + heading + "</h2>\n" +
                     bars_chart(largest, "Líneas efectivas de los objetos más grandes") +
                     "<table id=\"largest\"><thead><tr><th>Objeto</th><th class=\"n\">Líneas"
                     "</th><th class=\"n\">Parte</th></tr></thead><tbody>\n";
  for (const KbRow& r : largest) {
    html += "<tr><td class=\"name\">" + escape(r.name) + "</td>" + page.cell(r.lines, "n lines") +
            "<td class=\"n\">" + escape(share_text(r.lines, now.rows.total(), page.separator())) +
            "</td></tr>\n";
  }
  return html + "</tbody></table>\n</section>\n";
}

// The last step judged against the budget, as the JSON states it.
std::string budget_paragraph(const GrowthVerdict& verdict, const Page& page) {
  std::string html = std::string("<p id=\"budget\" data-exceeded=\"") +
                     (verdict.exceeded ? "true" : "false") + "\">";
  html += verdict.exceeded ? "<strong class=\"over\">" +
                                 escape(budget_message(verdict, page.separator())) + "</strong>"
                           : "Crecimiento en el último paso: " + page.number(verdict.growth) +
                                 " líneas, dentro del límite.";
  return html + "</p>\n";
}

}  // namespace

std::string kb_page(const KbOutcome& outcome, const KbPageOptions& options) {
  const KbFigures& now = outcome.now;
  const Page page(options.decimal_separator);
  std::string html;
  html.reserve(16 * 1024 + 200 * now.rows.size());
  html +=
      "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"es\" "
      "xml:lang=\"es\">\n<head>\n<meta charset=\"utf-8\"/>\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n"
      "<meta name=\"generator\" content=\"zentil-report " ZENTIL_VERSION
      "\"/>\n<title>Zentil de la KB: " +
      escape(page.score(now.rows.total())) + "</title>\n<style>" + page::kStyle +
      "</style>\n</head>\n<body>\n<main>\n<h1>Zentil de la KB</h1>\n";
  html += std::string("<p class=\"source\">") + (now.kinds ? "Carpeta de specs: " : "Informe: ") +
          "<code>" + escape(options.source) + "</code></p>\n";

  html += "<div class=\"totals\">\n";
  html += page.figure("score", Page::score_value(now.rows.total()), page.score(now.rows.total()),
                      "Zentil de la KB", true);
  if (now.processed) {
    html += page.figure("processed", std::to_string(*now.processed), std::to_string(*now.processed),
                        "archivos procesados");
  }
  html += page.figure("rows", std::to_string(now.rows.size()), std::to_string(now.rows.size()),
                      "objetos en el informe");
  html += page.figure("lines", std::to_string(now.rows.total()), std::to_string(now.rows.total()),
                      "líneas efectivas");
  html += "</div>\n";
  if (outcome.budget) html += budget_paragraph(*outcome.budget, page);

  if (outcome.comparison) html += compare_section(now, *outcome.comparison, page, options);
  if (outcome.history) html += history_sections(*outcome.history, page, options.top);
  if (now.kinds) html += kinds_section(now, page);
  html += largest_section(now, page, options.top);
  html += "<footer>Generado por zentil-report " ZENTIL_VERSION
          ". El Zentil de la KB es la suma de las líneas efectivas de sus objetos dividida por "
          "100.</footer>\n</main>\n</body>\n</html>\n";
  return html;
}

}  // namespace zentil
