#include "cli/history_page.h"

#include <algorithm>

#include "cli/kb_numbers.h"

namespace zentil {
namespace {

using page::append_cell;
using page::escape;
using page::kChartWidth;
using page::Page;
using page::px;

// The score chart's frame: room on the left for the scores, below for the labels.
constexpr int kHeight = 260, kLeft = 64, kRight = 28, kTop = 14, kBottom = 74;
constexpr int kPlotWidth = kChartWidth - kLeft - kRight, kPlotHeight = kHeight - kTop - kBottom;
constexpr int kLabelSpacing = 22;  // between two labels, slanted
constexpr std::size_t kLabelCharacters = 14;

// A step between gridlines of 1, 2 or 5 times a power of ten lines, for about five of them.
std::int64_t grid_step(std::int64_t span) {
  for (std::int64_t power = 1;; power *= 10) {
    for (const std::int64_t m : {1, 2, 5}) {
      if (m * power * 5 >= span || power > 100'000'000'000'000'000 / 10) return m * power;
    }
  }
}

std::int64_t floor_to(std::int64_t value, std::int64_t step) {
  const std::int64_t q = value / step;
  return (value % step != 0 && value < 0 ? q - 1 : q) * step;
}

std::string score_chart(const std::vector<ReleaseTotals>& releases, const Page& page) {
  const std::size_t n = releases.size();
  const auto [low, high] = std::minmax_element(
      releases.begin(), releases.end(),
      [](const ReleaseTotals& a, const ReleaseTotals& b) { return a.lines < b.lines; });
  const std::int64_t step = grid_step(std::max<std::int64_t>(high->lines - low->lines, 1));
  const std::int64_t bottom = floor_to(low->lines, step);
  std::int64_t top = floor_to(high->lines, step);
  if (top < high->lines || top == bottom) top += step;
  const auto x = [&](std::size_t i) {
    return n == 1 ? kLeft + kPlotWidth / 2.0
                  : kLeft + kPlotWidth * static_cast<double>(i) / static_cast<double>(n - 1);
  };
  const auto y = [&](std::int64_t lines) {
    return kTop +
           kPlotHeight * static_cast<double>(top - lines) / static_cast<double>(top - bottom);
  };

  std::string svg = page::svg_open(kHeight, "Zentil de la KB en cada versión");
  for (std::int64_t v = bottom; v <= top; v += step) {
    svg += "<line x1=\"" + std::to_string(kLeft) + "\" y1=\"" + px(y(v)) + "\" x2=\"" +
           std::to_string(kLeft + kPlotWidth) + "\" y2=\"" + px(y(v)) +
           "\" stroke=\"#eaeef2\" stroke-width=\"1\"/><text x=\"" + std::to_string(kLeft - 6) +
           "\" y=\"" + px(y(v) + 4) + "\" text-anchor=\"end\">" + escape(page.score(v)) +
           "</text>\n";
  }
  std::string points;
  for (std::size_t i = 0; i < n; ++i) {
    points += (i ? " " : "") + px(x(i)) + "," + px(y(releases[i].lines));
  }
  svg += "<polyline points=\"" + points + "\" fill=\"none\" stroke=\"" + page::kBarColour +
         "\" stroke-width=\"2\"/>\n";
  // With many releases the points shrink and only every so many labels show, counted back from
  // the last, so that none overlaps; each point still says its label and score.
  const std::string radius = n <= 40 ? "4" : n <= 100 ? "3" : "2";
  const std::size_t every =
      std::max<std::size_t>(1, (n * kLabelSpacing + kPlotWidth - 1) / kPlotWidth);
  for (std::size_t i = 0; i < n; ++i) {
    const ReleaseTotals& r = releases[i];
    svg += "<circle class=\"release\" cx=\"" + px(x(i)) + "\" cy=\"" + px(y(r.lines)) + "\" r=\"" +
           radius + "\" fill=\"" + page::kBarColour + "\" data-label=\"" + escape(r.label) +
           "\" data-value=\"" + Page::score_value(r.lines) + "\"><title>" + escape(r.label) + ": " +
           escape(page.score(r.lines)) + "</title></circle>";
    if ((n - 1 - i) % every == 0) {
      const std::string at = px(x(i)) + "," + std::to_string(kTop + kPlotHeight + 14);
      svg += "<text transform=\"translate(" + at + ") rotate(-45)\" text-anchor=\"end\">" +
             escape(page::label(r.label, kLabelCharacters)) + "</text>";
    }
    svg += "\n";
  }
  return svg + "</svg>\n";
}

std::string releases_table(const std::vector<ReleaseTotals>& releases, const Page& page) {
  std::string html =
      "<table id=\"history\"><thead><tr><th>Versión</th><th class=\"n\">Objetos</th>"
      "<th class=\"n\">Líneas</th><th class=\"n\">Diferencia</th><th class=\"n\">Zentil</th>"
      "<th class=\"n\">Cambio</th></tr></thead><tbody>\n";
  for (std::size_t i = 0; i < releases.size(); ++i) {
    const ReleaseTotals& r = releases[i];
    html += "<tr><td class=\"name\">" + escape(r.label) + "</td>";
    append_cell(html, static_cast<std::int64_t>(r.rows), "n rows");
    append_cell(html, r.lines, "n lines");
    if (i == 0) html += "<td class=\"n\">-</td>";
    if (i > 0) append_cell(html, r.lines - releases[i - 1].lines, "n change", true);
    html += page.score_cell(r.lines, "n score");
    html += i == 0 ? "<td class=\"n\">-</td>"
                   : page.score_cell(r.lines - releases[i - 1].lines, "n score-change", true);
    html += "</tr>\n";
  }
  return html + "</tbody></table>\n";
}

std::string span_section(const KbHistory& history, const Page& page, std::size_t top) {
  const ReleaseTotals &first = history.releases.front(), &last = history.releases.back();
  const std::int64_t difference = last.lines - first.lines;
  std::string html = "<section id=\"span\">\n<h2>De " + escape(first.label) + " a " +
                     escape(last.label) + "</h2>\n<div class=\"totals\">\n";
  html += page.figure("span-score-first", Page::score_value(first.lines), page.score(first.lines),
                      "Zentil de la KB en la primera versión", true);
  html += page.figure("span-score-difference", Page::score_value(difference),
                      signed_score(difference, page.separator()), "diferencia", true);
  html += page.figure("span-rows-first", std::to_string(first.rows), std::to_string(first.rows),
                      "objetos en la primera versión");
  html += page.figure("span-lines-first", std::to_string(first.lines), std::to_string(first.lines),
                      "líneas efectivas en la primera versión");
  const auto number = [&](std::size_t n) { return page.number(static_cast<std::int64_t>(n)); };
  html += "</div>\n<p>Agregados: " + number(history.added.size()) +
          " · quitados: " + number(history.removed.size()) +
          " · crecieron: " + number(history.grew.size()) +
          " · decrecieron: " + number(history.shrank.size()) +
          " · sin cambios: " + number(history.unchanged) + "</p>\n";

  std::vector<KbRow> bars;
  for (std::size_t i = 0; i < history.grew.size() && i < top; ++i) {
    bars.push_back({history.grew[i].name, history.grew[i].after - history.grew[i].before});
  }
  for (std::size_t i = 0; i < history.shrank.size() && i < top; ++i) {
    bars.push_back({history.shrank[i].name, history.shrank[i].after - history.shrank[i].before});
  }
  if (!bars.empty()) {
    html += "<h3>Los que más crecieron y decrecieron</h3>\n" +
            page::changes_chart(bars, "Objetos que más crecieron y decrecieron");
  }
  const auto count = [](std::size_t n) { return " (" + std::to_string(n) + ")"; };
  html += page::changes_table("grew", "Objetos que crecieron" + count(history.grew.size()),
                              history.grew);
  html += page::changes_table("shrank", "Objetos que decrecieron" + count(history.shrank.size()),
                              history.shrank);
  html += page::rows_table("added", "Objetos agregados" + count(history.added.size()),
                           history.added, true);
  html += page::rows_table("removed", "Objetos quitados" + count(history.removed.size()),
                           history.removed, false);
  return html + "</section>\n";
}

}  // namespace

std::string history_sections(const KbHistory& history, const Page& page, std::size_t top) {
  const std::size_t n = history.releases.size();
  return "<section id=\"history-section\">\n<h2>Historia de la KB (" + std::to_string(n) +
         (n == 1 ? " versión" : " versiones") + ")</h2>\n" + score_chart(history.releases, page) +
         releases_table(history.releases, page) + "</section>\n" + span_section(history, page, top);
}

}  // namespace zentil
