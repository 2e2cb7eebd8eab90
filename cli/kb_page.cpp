#include "cli/kb_page.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

#include "cli/kb_numbers.h"
#include "platform/number_format.h"

namespace zentil {
namespace {

constexpr std::array<const char*, 4> kKindColours = {"#4e79a7", "#f28e2b", "#59a14f", "#9d9590"};
constexpr const char* kIncrease = "#2e7d32";
constexpr const char* kDecrease = "#c62828";

// Chart geometry, in the SVG's own units (pixels at 100 %).
constexpr int kChartWidth = 700;
constexpr int kLabelWidth = 220;  // names, right-aligned against the bars
constexpr int kRowHeight = 22;
constexpr std::size_t kLabelCharacters = 30;  // longer names are cut in charts, whole in tables

constexpr const char* kStyle = R"(
body { font-family: system-ui, "Segoe UI", "DejaVu Sans", sans-serif; margin: 0;
       color: #1f2328; background: #f6f7f9; }
main { max-width: 760px; margin: 0 auto; padding: 24px 20px 40px; }
h1 { font-size: 26px; margin: 0 0 4px; }
h2 { font-size: 18px; margin: 14px 0 10px; }
h3 { font-size: 15px; margin: 18px 0 6px; }
.source { color: #57606a; margin: 2px 0; overflow-wrap: anywhere; }
.totals { display: flex; flex-wrap: wrap; gap: 12px; margin-top: 16px; }
.figure { background: #fff; border: 1px solid #d0d7de; border-radius: 8px; padding: 10px 16px;
          min-width: 120px; }
.figure .value { font-size: 24px; font-weight: 600; margin: 0; }
.figure.big .value { font-size: 34px; }
.figure .label { color: #57606a; margin: 2px 0 0; font-size: 13px; }
section { background: #fff; border: 1px solid #d0d7de; border-radius: 8px; padding: 4px 16px 14px;
          margin-top: 16px; }
table { border-collapse: collapse; width: 100%; margin-top: 10px; font-size: 14px; }
th, td { padding: 3px 8px; border-bottom: 1px solid #eaeef2; }
th { text-align: left; font-weight: 600; }
td.n, th.n { text-align: right; font-variant-numeric: tabular-nums; }
td.name { overflow-wrap: anywhere; }
.swatch { display: inline-block; width: 10px; height: 10px; border-radius: 2px;
          margin-right: 6px; }
.up { color: #2e7d32; } .down { color: #c62828; }
svg { max-width: 100%; height: auto; display: block; margin-top: 8px; }
svg text { font-size: 12px; fill: #1f2328; }
details { margin-top: 10px; } summary { cursor: pointer; font-weight: 600; }
footer { color: #57606a; font-size: 12px; margin-top: 20px; }
)";

// Appends `text` with the characters that markup gives a meaning to written as references.
void append_escaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
}

std::string escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  append_escaped(out, text);
  return out;
}

// Appends a cell of a table's number: its plain value for machines, its text for people. The
// lists of a comparison may hold thousands of rows: they are written without temporaries.
// With `sign`, the text shows its sign always (a difference).
void append_cell(std::string& out, std::int64_t value, std::string_view css, bool sign = false) {
  char digits[24];
  const std::string_view text(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
  out += "<td class=\"";
  out += css;
  out += "\" data-value=\"";
  out += text;
  out += sign && value >= 0 ? "\">+" : "\">";
  out += text;
  out += "</td>";
}

// A name short enough for a chart's label column.
std::string label(std::string_view name) {
  if (text_width(name) <= kLabelCharacters) return std::string(name);
  std::size_t end = 0;
  for (std::size_t kept = 0; end < name.size(); ++end) {
    if ((static_cast<unsigned char>(name[end]) & 0xC0) != 0x80 && kept++ == kLabelCharacters - 1) {
      break;
    }
  }
  return std::string(name.substr(0, end)) + "\xE2\x80\xA6";  // "…"
}

std::string px(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

// The pieces of markup the page repeats, in the user's locale.
class Page {
 public:
  explicit Page(const KbPageOptions& options) : options_(options) {}

  // A figure: its text as the user reads it, its plain value for machines.
  std::string number(std::int64_t value) const {
    return "<span data-value=\"" + std::to_string(value) + "\">" + std::to_string(value) +
           "</span>";
  }
  std::string cell(std::int64_t value, const char* css = "n") const {
    std::string out;
    append_cell(out, value, css);
    return out;
  }
  std::string score(std::int64_t lines) const {
    return format_score(lines, options_.decimal_separator);
  }
  std::string score_value(std::int64_t lines) const { return format_score(lines, "."); }

  std::string figure(const char* id, const std::string& value, const std::string& shown,
                     const char* caption, bool big = false) const {
    return std::string("<div class=\"figure") + (big ? " big" : "") +
           "\"><p class=\"value\" id=\"" + id + "\" data-value=\"" + value + "\">" + escape(shown) +
           "</p><p class=\"label\">" + caption + "</p></div>\n";
  }

 private:
  const KbPageOptions& options_;
};

// One horizontal bar per row, from the left edge of the bar area.
std::string bars_chart(const std::vector<KbRow>& rows, const char* title) {
  const int area = kChartWidth - kLabelWidth - 70;
  std::int64_t most = 0;
  for (const KbRow& r : rows) most = std::max(most, r.lines);
  const int height = static_cast<int>(rows.size()) * kRowHeight + 4;
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" viewBox=\"0 0 " +
                    std::to_string(kChartWidth) + " " + std::to_string(height) + "\" width=\"" +
                    std::to_string(kChartWidth) + "\" height=\"" + std::to_string(height) +
                    "\"><title>" + escape(title) + "</title>\n";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const KbRow& r = rows[i];
    const double width = most > 0 && r.lines > 0 ? area * static_cast<double>(r.lines) / most : 0;
    const int y = static_cast<int>(i) * kRowHeight + 2;
    svg += "<text x=\"" + std::to_string(kLabelWidth - 8) + "\" y=\"" + std::to_string(y + 15) +
           "\" text-anchor=\"end\">" + escape(label(r.name)) + "</text>";
    svg += "<rect x=\"" + std::to_string(kLabelWidth) + "\" y=\"" + std::to_string(y + 3) +
           "\" width=\"" + px(width) + "\" height=\"16\" rx=\"2\" fill=\"" + kKindColours[0] +
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
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" viewBox=\"0 0 " +
                    std::to_string(kChartWidth) + " 30\" width=\"" + std::to_string(kChartWidth) +
                    "\" height=\"30\"><title>Líneas efectivas por tipo de objeto</title>\n";
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

// Increases to the right of zero, decreases to the left.
std::string changes_chart(const std::vector<KbRow>& deltas) {
  constexpr int kValues = 60;  // room for a value beside its bar
  const int half = (kChartWidth - kLabelWidth - 2 * kValues) / 2;
  const int axis = kLabelWidth + kValues + half;
  std::int64_t most = 0;
  for (const KbRow& d : deltas) most = std::max(most, d.lines < 0 ? -d.lines : d.lines);
  const int height = static_cast<int>(deltas.size()) * kRowHeight + 4;
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" viewBox=\"0 0 " +
                    std::to_string(kChartWidth) + " " + std::to_string(height) + "\" width=\"" +
                    std::to_string(kChartWidth) + "\" height=\"" + std::to_string(height) +
                    "\"><title>Mayores aumentos y disminuciones de líneas efectivas</title>\n";
  for (std::size_t i = 0; i < deltas.size(); ++i) {
    const KbRow& d = deltas[i];
    const double width =
        most > 0 ? half * static_cast<double>(d.lines < 0 ? -d.lines : d.lines) / most : 0;
    const int y = static_cast<int>(i) * kRowHeight + 2;
    const bool up = d.lines > 0;
    const double left = up ? axis : axis - width;
    svg += "<text x=\"" + std::to_string(kLabelWidth - 8) + "\" y=\"" + std::to_string(y + 15) +
           "\" text-anchor=\"end\">" + escape(label(d.name)) + "</text>";
    svg += "<rect x=\"" + px(left) + "\" y=\"" + std::to_string(y + 3) + "\" width=\"" + px(width) +
           "\" height=\"16\" rx=\"2\" fill=\"" + (up ? kIncrease : kDecrease) + "\"><title>" +
           escape(d.name) + ": " + signed_count(d.lines) + "</title></rect>";
    svg += "<text x=\"" + px(up ? axis + width + 6 : axis - width - 6) + "\" y=\"" +
           std::to_string(y + 15) + "\"" + (up ? "" : " text-anchor=\"end\"") + ">" +
           signed_count(d.lines) + "</text>\n";
  }
  svg += "<line x1=\"" + std::to_string(axis) + "\" y1=\"0\" x2=\"" + std::to_string(axis) +
         "\" y2=\"" + std::to_string(height) + "\" stroke=\"#57606a\" stroke-width=\"1\"/>\n";
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

}  // namespace

std::string kb_page(const KbFigures& now, const KbComparison* comparison,
                    const KbPageOptions& options) {
  const Page page(options);
  const std::string& sep = options.decimal_separator;
  std::string html;
  html.reserve(16 * 1024 + 200 * now.rows.size());
  html +=
      "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"es\" "
      "xml:lang=\"es\">\n<head>\n<meta charset=\"utf-8\"/>\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n"
      "<meta name=\"generator\" content=\"zentil-report " ZENTIL_VERSION
      "\"/>\n<title>Zentil de la KB: " +
      escape(page.score(now.rows.total())) + "</title>\n<style>" + kStyle +
      "</style>\n</head>\n<body>\n<main>\n<h1>Zentil de la KB</h1>\n";
  html += std::string("<p class=\"source\">") + (now.kinds ? "Carpeta de specs: " : "Informe: ") +
          "<code>" + escape(options.source) + "</code></p>\n";

  html += "<div class=\"totals\">\n";
  html += page.figure("score", page.score_value(now.rows.total()), page.score(now.rows.total()),
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

  if (comparison != nullptr) {
    const KbComparison& c = *comparison;
    const std::int64_t difference = now.rows.total() - c.lines_before;
    html += "<section id=\"compare\">\n<h2>Cambios desde el informe anterior</h2>\n";
    html += "<p class=\"source\">Informe anterior: <code>" + escape(options.earlier) +
            "</code></p>\n<div class=\"totals\">\n";
    html += page.figure("score-before", page.score_value(c.lines_before),
                        page.score(c.lines_before), "Zentil de la KB antes", true);
    html += page.figure("score-difference", page.score_value(difference),
                        signed_score(difference, sep), "diferencia", true);
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
      html += "<h3>Mayores aumentos y disminuciones</h3>\n" + changes_chart(largest);
    }
    // Each list whole, as the JSON gives it.
    const auto list = [&](const char* id, const char* what, std::size_t count, auto&& rows) {
      html += std::string("<details><summary>Objetos ") + what + " (" + std::to_string(count) +
              ")</summary>\n<table id=\"" + id +
              "\"><thead><tr><th>Objeto</th><th class=\"n\">Antes</th><th class=\"n\">Ahora</th>"
              "<th class=\"n\">Diferencia</th></tr></thead><tbody>\n";
      rows();
      html += "</tbody></table></details>\n";
    };
    // One row: the name, the lines before and after ("-" for none) and the difference.
    const auto row = [&](const std::string& name, const std::int64_t* before,
                         const std::int64_t* after) {
      const std::int64_t change = (after ? *after : 0) - (before ? *before : 0);
      html += "<tr><td class=\"name\">";
      append_escaped(html, name);
      html += "</td>";
      if (before) append_cell(html, *before, "n before");
      if (!before) html += "<td class=\"n\">-</td>";
      if (after) append_cell(html, *after, "n after");
      if (!after) html += "<td class=\"n\">-</td>";
      append_cell(html, change, change >= 0 ? "n up" : "n down", true);
      html += "</tr>\n";
    };
    list("added", "agregados", c.added.size(), [&] {
      for (const KbRow& r : c.added) row(r.name, nullptr, &r.lines);
    });
    list("removed", "quitados", c.removed.size(), [&] {
      for (const KbRow& r : c.removed) row(r.name, &r.lines, nullptr);
    });
    list("changed", "cambiados", c.changed.size(), [&] {
      for (const KbChange& ch : c.changed) row(ch.name, &ch.before, &ch.after);
    });
    html += "</section>\n";
  }

  if (now.kinds) {
    html += "<section id=\"kinds\">\n<h2>Tamaño por tipo de objeto</h2>\n" +
            kinds_chart(*now.kinds) +
            "<table id=\"kinds-table\"><thead><tr><th>Tipo</th><th class=\"n\">Objetos</th>"
            "<th class=\"n\">Líneas</th><th class=\"n\">Parte</th></tr></thead><tbody>\n";
    for (std::size_t k = 0; k < kKindNames.size(); ++k) {
      const KindTotals& t = (*now.kinds)[k];
      html += std::string("<tr data-kind=\"") + kKindKeys[k] +
              "\"><th><span class=\"swatch\" style=\"background:" + kKindColours[k] + "\"></span>" +
              kKindNames[k] + "</th>" + page.cell(t.files, "n files") +
              page.cell(t.lines, "n lines") + "<td class=\"n\">" +
              escape(share_text(t.lines, now.rows.total(), sep)) + "</td></tr>\n";
    }
    html += "</tbody></table>\n</section>\n";
  }

  const std::vector<KbRow> largest = largest_rows(now.rows, options.top);
  if (!largest.empty()) {
    const std::string heading =
        largest.size() == 1 ? std::string("El objeto más grande")
                            : "Los " + std::to_string(largest.size()) + " objetos más grandes";
    html += "<section id=\"largest-section\">\n<h2>" + heading + "</h2>\n" +
            bars_chart(largest, "Líneas efectivas de los objetos más grandes") +
            "<table id=\"largest\"><thead><tr><th>Objeto</th><th class=\"n\">Líneas</th>"
            "<th class=\"n\">Parte</th></tr></thead><tbody>\n";
    for (const KbRow& r : largest) {
      html += "<tr><td class=\"name\">" + escape(r.name) + "</td>" + page.cell(r.lines, "n lines") +
              "<td class=\"n\">" + escape(share_text(r.lines, now.rows.total(), sep)) +
              "</td></tr>\n";
    }
    html += "</tbody></table>\n</section>\n";
  }
  html += "<footer>Generado por zentil-report " ZENTIL_VERSION
          ". El Zentil de la KB es la suma de las líneas efectivas de sus objetos dividida por "
          "100.</footer>\n</main>\n</body>\n</html>\n";
  return html;
}

}  // namespace zentil
