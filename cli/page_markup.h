// The pieces of the self-contained page that its sections share: its style, text and numbers as
// markup, and the charts drawn as inline SVG. The page is well-formed XML as well as HTML.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "report/kb_rows.h"

namespace zentil::page {

// Chart geometry, in the SVG's own units (pixels at 100 %).
inline constexpr int kChartWidth = 700;
inline constexpr int kLabelWidth = 220;  // names, right-aligned against the bars
inline constexpr int kRowHeight = 22;
inline constexpr const char* kBarColour = "#4e79a7";
inline constexpr const char* kIncrease = "#2e7d32";
inline constexpr const char* kDecrease = "#c62828";

extern const char* const kStyle;

// Appends `text` (UTF-8) with the characters markup gives a meaning to written as references,
// and what XML may not hold at all (control characters, bytes of no UTF-8 character, U+FFFE and
// U+FFFF) as U+FFFD.
void append_escaped(std::string& out, std::string_view text);
std::string escape(std::string_view text);

// Appends a cell of a table's number: its plain value for machines, its text for people; with
// `sign`, the text always shows its sign (a difference).
void append_cell(std::string& out, std::int64_t value, std::string_view css, bool sign = false);

// A name short enough for a chart's label column.
std::string label(std::string_view name, std::size_t characters = 30);

// A coordinate with one decimal.
std::string px(double value);

// The start of a chart `height` units high, with its title for screen readers.
std::string svg_open(int height, std::string_view title);

// Bars on either side of zero: increases to the right, decreases to the left.
std::string changes_chart(const std::vector<KbRow>& deltas, std::string_view title);

// The pieces of markup the page repeats, in the user's locale.
class Page {
 public:
  explicit Page(std::string decimal_separator) : separator_(std::move(decimal_separator)) {}

  const std::string& separator() const { return separator_; }
  // A figure in running text: its text as the user reads it, its plain value for machines.
  std::string number(std::int64_t value) const;
  std::string cell(std::int64_t value, const char* css = "n") const;
  std::string score(std::int64_t lines) const;
  static std::string score_value(std::int64_t lines);
  // A cell of a score: its value as lines / 100 with ".", shown in the user's locale; with
  // `sign`, a difference.
  std::string score_cell(std::int64_t lines, const char* css, bool sign = false) const;
  std::string figure(const char* id, const std::string& value, const std::string& shown,
                     const char* caption, bool big = false) const;

 private:
  std::string separator_;
};

// Tables of changes that unfold, whole: a summary line, then the columns Objeto, Antes, Ahora
// and Diferencia, with "-" for a side without lines. Objects added (`added`) or removed, and
// objects in both.
std::string rows_table(const char* id, const std::string& summary, const std::vector<KbRow>& rows,
                       bool added);
std::string changes_table(const char* id, const std::string& summary,
                          const std::vector<KbChange>& changes);

}  // namespace zentil::page
