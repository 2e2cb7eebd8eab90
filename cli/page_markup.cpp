#include "cli/page_markup.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "cli/kb_numbers.h"
#include "platform/number_format.h"

namespace zentil::page {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the UTF-8 character that `s` begins with, if it is one that XML may hold (not
// U+FFFE or U+FFFF); 0 otherwise. `s` begins with a byte of 0x80 or more.
std::size_t xml_character_length(std::string_view s) {
  const auto b0 = static_cast<unsigned char>(s[0]);
  std::size_t length = 0;
  char32_t cp = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2, cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3, cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4, cp = b0 & 0x07;
  } else {
    return 0;
  }
  if (s.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  const bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
  if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE || cp == 0xFFFF) {
    return 0;
  }
  return length;
}

}  // namespace

const char* const kStyle = R"(
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
.up { color: #2e7d32; } .down, .over { color: #c62828; }
svg { max-width: 100%; height: auto; display: block; margin-top: 8px; }
svg text { font-size: 12px; fill: #1f2328; }
details { margin-top: 10px; } summary { cursor: pointer; font-weight: 600; }
footer { color: #57606a; font-size: 12px; margin-top: 20px; }
)";

void append_escaped(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (static_cast<unsigned char>(c) >= 0x80) {
      const std::size_t length = xml_character_length(text.substr(i));
      if (length == 0) {
        out += kReplacement;
        ++i;
      } else {
        out.append(text.substr(i, length));
        i += length;
      }
      continue;
    }
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
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') {
          out += kReplacement;
        } else {
          out += c;
        }
    }
    ++i;
  }
}

std::string escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  append_escaped(out, text);
  return out;
}

// The lists of a comparison may hold thousands of rows: their cells are written without
// temporaries.
void append_cell(std::string& out, std::int64_t value, std::string_view css, bool sign) {
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

std::string label(std::string_view name, std::size_t characters) {
  if (text_width(name) <= characters) return std::string(name);
  std::size_t end = 0;
  for (std::size_t kept = 0; end < name.size(); ++end) {
    if ((static_cast<unsigned char>(name[end]) & 0xC0) != 0x80 && kept++ == characters - 1) {
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

std::string svg_open(int height, std::string_view title) {
  const std::string w = std::to_string(kChartWidth), h = std::to_string(height);
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" viewBox=\"0 0 " + w + " " + h +
         "\" width=\"" + w + "\" height=\"" + h + "\"><title>" + escape(title) + "</title>\n";
}

std::string changes_chart(const std::vector<KbRow>& deltas, std::string_view title) {
  constexpr int kValues = 60;  // room for a value beside its bar
  const int half = (kChartWidth - kLabelWidth - 2 * kValues) / 2;
  const int axis = kLabelWidth + kValues + half;
  std::int64_t most = 0;
  for (const KbRow& d : deltas) most = std::max(most, d.lines < 0 ? -d.lines : d.lines);
  const int height = static_cast<int>(deltas.size()) * kRowHeight + 4;
  std::string svg = svg_open(height, title);
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

std::string Page::number(std::int64_t value) const {
  return "<span data-value=\"" + std::to_string(value) + "\">" + std::to_string(value) + "</span>";
}

std::string Page::cell(std::int64_t value, const char* css) const {
  std::string out;
  append_cell(out, value, css);
  return out;
}

std::string Page::score(std::int64_t lines) const {
  return format_score(lines, separator_);
}

std::string Page::score_value(std::int64_t lines) {
  return format_score(lines, ".");
}

std::string Page::score_cell(std::int64_t lines, const char* css, bool sign) const {
  return std::string("<td class=\"") + css + "\" data-value=\"" + score_value(lines) + "\">" +
         escape(sign ? signed_score(lines, separator_) : score(lines)) + "</td>";
}

std::string Page::figure(const char* id, const std::string& value, const std::string& shown,
                         const char* caption, bool big) const {
  return std::string("<div class=\"figure") + (big ? " big" : "") + "\"><p class=\"value\" id=\"" +
         id + "\" data-value=\"" + value + "\">" + escape(shown) + "</p><p class=\"label\">" +
         caption + "</p></div>\n";
}

namespace {

std::string table_open(const char* id, const std::string& summary) {
  return "<details><summary>" + escape(summary) + "</summary>\n<table id=\"" + id +
         "\"><thead><tr><th>Objeto</th><th class=\"n\">Antes</th><th class=\"n\">Ahora</th>"
         "<th class=\"n\">Diferencia</th></tr></thead><tbody>\n";
}

constexpr std::string_view kTableClose = "</tbody></table></details>\n";

// One row: the name, the lines before and after ("-" for none) and the difference.
void append_row(std::string& out, const std::string& name, const std::int64_t* before,
                const std::int64_t* after) {
  const std::int64_t change = (after ? *after : 0) - (before ? *before : 0);
  out += "<tr><td class=\"name\">";
  append_escaped(out, name);
  out += "</td>";
  if (before) append_cell(out, *before, "n before");
  if (!before) out += "<td class=\"n\">-</td>";
  if (after) append_cell(out, *after, "n after");
  if (!after) out += "<td class=\"n\">-</td>";
  append_cell(out, change, change >= 0 ? "n up" : "n down", true);
  out += "</tr>\n";
}

}  // namespace

std::string rows_table(const char* id, const std::string& summary, const std::vector<KbRow>& rows,
                       bool added) {
  std::string html = table_open(id, summary);
  for (const KbRow& r : rows) {
    append_row(html, r.name, added ? nullptr : &r.lines, added ? &r.lines : nullptr);
  }
  return html.append(kTableClose);
}

std::string changes_table(const char* id, const std::string& summary,
                          const std::vector<KbChange>& changes) {
  std::string html = table_open(id, summary);
  for (const KbChange& c : changes) append_row(html, c.name, &c.before, &c.after);
  return html.append(kTableClose);
}

}  // namespace zentil::page
