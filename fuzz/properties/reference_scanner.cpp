#include "reference_scanner.h"

#include <cstdint>

namespace zentil::fuzz {
namespace {

char fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Position (from 1) of the first occurrence of `text` in `line` at or after position `from`,
// letters compared without regard to case when `fold_case`; 0 when there is none.
std::size_t position(std::string_view line, std::string_view text, std::size_t from,
                     bool fold_case) {
  if (from == 0) from = 1;
  for (std::size_t start = from - 1; start + text.size() <= line.size(); ++start) {
    bool equal = true;
    for (std::size_t k = 0; k < text.size() && equal; ++k) {
      equal = fold_case ? fold(line[start + k]) == fold(text[k]) : line[start + k] == text[k];
    }
    if (equal) return start + 1;
  }
  return 0;
}

bool begins(std::string_view line, std::string_view name) {
  return position(line, name, 1, true) == 1;
}

bool holds_past_first(std::string_view line, std::string_view text) {
  return position(line, text, 1, true) >= 2;
}

// Characters from position `pos` (from 1), `count` of them.
std::string_view mid(std::string_view line, std::size_t pos, std::size_t count) {
  return line.substr(pos - 1, count);
}

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  if (text.empty()) return pieces;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == separator) {
      pieces.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return pieces;
}

struct State {
  FileMetrics m;
  char kind = 'O';
  std::string levelNames;
};

void capture_level(State& s, std::string_view line) {
  const std::size_t p1 = position(line, "(", 1, false);
  if (p1 == 0) return;
  const std::size_t p2 = position(line, ",", p1, false);
  if (p2 == 0) return;
  s.levelNames += "?";
  s.levelNames += mid(line, p1 + 1, p2 - p1 - 1);
  s.m.levelTables += 1;
}

void match_table(State& s, std::string_view line) {
  const std::size_t p1 = position(line, "(", 1, false);
  if (p1 == 0) return;
  const std::size_t p2 = position(line, ",", p1, false);
  if (p2 == 0) return;
  const std::vector<std::string_view> pieces = split(s.levelNames, '?');
  const std::int64_t n = s.m.levelTables;
  const std::string_view table = mid(line, p1 + 1, p2 - p1 - 1);
  for (std::int64_t d = 1; d <= n; ++d) {
    if (static_cast<std::size_t>(d) >= pieces.size() || pieces[d] != table) continue;
    const std::size_t p3 = position(line, "',[", p2, false);
    if (p3 == 0) continue;
    const std::size_t p4 = position(line, "]", p3, false);
    if (p4 == 0) continue;
    const std::vector<std::string_view> list = split(mid(line, p3 + 1, p4 - p3 - 1), ',');
    s.m.tableAttributes += static_cast<std::int64_t>(list.size()) - 1;
  }
}

void classify(State& s, std::string_view line) {
  FileMetrics& m = s.m;
  if (line.size() > 10) m.lineCount += 1;
  if (begins(line, "v_i(")) {
    m.vars += 1;
  } else if (begins(line, "subview_i(") || begins(line, "map_i(") || begins(line, "std_color_i(") ||
             begins(line, "a_alias_i(") || begins(line, "calling_main_i")) {
    m.lineCount -= 1;
  } else if (begins(line, "spec_i([ trn")) {
    s.kind = 'T';
  } else if (begins(line, "spec_i([ proc")) {
    s.kind = 'P';
  } else if (begins(line, "spec_i([ rpt")) {
    s.kind = 'R';
  } else if (begins(line, "b_line_i")) {
    if (holds_past_first(line, "cmd,")) m.commands += 1;
  } else if (begins(line, "table_i")) {
    m.tablesTotal += 1;
    if (s.kind == 'T') match_table(s, line);
  } else if (begins(line, "tbl_to_delete_i")) {
    m.deleteControls += 1;
  } else if (begins(line, "attri_i('")) {
    // counted by its length only
  } else if (begins(line, "attri_i(")) {
    m.attributesTotal += 1;
  } else if (begins(line, "att_prop_i")) {
    m.attributeProperties += 1;
  } else if (begins(line, "tbl_att_prop_i")) {
    m.tableAttributeProperties += 1;
  } else if (holds_past_first(line, "title([])")) {
    m.printBlocks += 1;
  } else if (begins(line, "level_i(")) {
    m.levels += 1;
    if (s.kind == 'T') capture_level(s, line);
  } else if (begins(line, "rule_i(0,prop(")) {
    m.propertyRules += 1;
  } else if (begins(line, "rule_i(0,datastore(")) {
    m.datastoreRules += 1;
  } else if (begins(line, "rule_i(")) {
    if (holds_past_first(line, ",rule([")) m.rules += 1;
  }
}

}  // namespace

std::vector<std::string_view> reference_lines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r') continue;
    lines.push_back(bytes.substr(start, i - start));
    if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

ReferenceScan reference_scan(std::string_view bytes) {
  State s;
  for (const std::string_view line : reference_lines(bytes)) classify(s, line);
  if (s.kind == 'T' || s.kind == 'O') s.m.printBlocks = 0;
  return {s.m, s.kind};
}

}  // namespace zentil::fuzz
