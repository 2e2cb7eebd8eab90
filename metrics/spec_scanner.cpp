#include "metrics/spec_scanner.h"

#include <algorithm>
#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "metrics/fact_text.h"

namespace zentil {
namespace {

using fact_text::begins_with;
using fact_text::contains;
using fact_text::lower;
using fact_text::Pattern;

// The texts the rules test, prepared once.
constexpr Pattern kVar = "v_i(";
constexpr Pattern kSubview = "subview_i(";
constexpr Pattern kStdColor = "std_color_i(";
constexpr Pattern kSpec = "spec_i([ ";
constexpr Pattern kTransaction = "trn";
constexpr Pattern kProcedure = "proc";
constexpr Pattern kReport = "rpt";
constexpr Pattern kMap = "map_i(";
constexpr Pattern kAlias = "a_alias_i(";
constexpr Pattern kAttribute = "attri_i(";
constexpr Pattern kAttributeProperty = "att_prop_i";
constexpr Pattern kCallingMain = "calling_main_i";
constexpr Pattern kBodyLine = "b_line_i";
constexpr Pattern kTable = "table_i";
constexpr Pattern kDeleteControl = "tbl_to_delete_i";
constexpr Pattern kTableAttributeProperty = "tbl_att_prop_i";
constexpr Pattern kTitle = "title([])";
constexpr Pattern kLevel = "level_i(";
constexpr Pattern kRule = "rule_i(";
constexpr Pattern kPropertyRule = "rule_i(0,prop(";
constexpr Pattern kDatastoreRule = "rule_i(0,datastore(";
constexpr Pattern kCommand = "cmd,";
constexpr Pattern kRuleList = ",rule([";

// A line must be longer than this to count as a line of weight.
constexpr std::size_t kShortLine = 10;
// A carry that grew past this for one huge line is given back at the next file.
constexpr std::size_t kCarryKeep = 1 << 20;

// Everything strictly between the first "(" of `line` and the first "," after it, or nothing
// when either is missing. `after` receives the index of that ",".
bool first_argument(std::string_view line, std::string_view& argument, std::size_t& after) {
  const auto open = line.find('(');
  if (open == std::string_view::npos) return false;
  const auto comma = line.find(',', open);
  if (comma == std::string_view::npos) return false;
  argument = line.substr(open + 1, comma - open - 1);
  after = comma;
  return true;
}

// A mask of the CR bytes among the 64 at `p`, bit i for byte i.
[[gnu::always_inline]] inline std::uint64_t cr_mask(const char* p) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  const auto part = [&](int i) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
    return std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, cr)))};
  };
  return part(0) | part(1) << 16 | part(2) << 32 | part(3) << 48;
#else
  std::uint64_t mask = 0;
  for (int i = 0; i < 64; ++i) mask |= std::uint64_t{p[i] == '\r'} << i;
  return mask;
#endif
}

}  // namespace

void SpecScanner::begin() {
  metrics_ = FileMetrics{};
  kind_ = SpecKind::None;
  if (carry_.capacity() > kCarryKeep) carry_ = std::string();
  carry_.clear();
  skip_lf_ = false;
  level_name_counts_.clear();
  pending_pieces_.clear();
}

void SpecScanner::feed(std::string_view chunk) {
  if (chunk.empty()) return;
  if (skip_lf_) {
    skip_lf_ = false;
    if (chunk.front() == '\n') chunk.remove_prefix(1);
  }
  const char* const begin = chunk.data();
  const char* const end = begin + chunk.size();
  const char* line = begin;  // where the current line starts
  // Moves past the terminator at `cr`, an LF after it included; false when the chunk ends at the
  // CR, whose LF may then start the next chunk.
  const auto next_line = [&](const char* cr) {
    line = cr + 1;
    if (line == end) {
      skip_lf_ = true;
      return false;
    }
    if (*line == '\n') ++line;
    return true;
  };

  // A line that began in an earlier chunk ends at the first CR of this one.
  if (!carry_.empty()) {
    const void* cr = std::memchr(line, '\r', chunk.size());
    if (cr == nullptr) {
      carry_.append(line, end);
      return;
    }
    carry_.append(line, static_cast<const char*>(cr));
    scan_line(carry_);
    carry_.clear();
    if (!next_line(static_cast<const char*>(cr))) return;
  }

  // Blocks of 64 bytes: one mask of their CR bytes, then one line per set bit, which spares a
  // search call per line.
  const char* block = line;
  for (; end - block >= 64; block += 64) {
    for (std::uint64_t crs = cr_mask(block); crs != 0; crs &= crs - 1) {
      const char* cr = block + std::countr_zero(crs);
      scan_line(std::string_view(line, static_cast<std::size_t>(cr - line)));
      if (!next_line(cr)) return;
    }
  }
  // The tail.
  for (;;) {
    const char* from = std::max(block, line);
    const void* found = std::memchr(from, '\r', static_cast<std::size_t>(end - from));
    if (found == nullptr) break;
    const char* cr = static_cast<const char*>(found);
    scan_line(std::string_view(line, static_cast<std::size_t>(cr - line)));
    if (!next_line(cr)) return;
  }
  if (line < end) carry_.append(line, end);
}

void SpecScanner::finish() {
  // Bytes after the last terminator are the last line; nothing after it is no line at all.
  if (!carry_.empty()) {
    scan_line(carry_);
    carry_.clear();
  }
  skip_lf_ = false;
  if (kind_ == SpecKind::Transaction || kind_ == SpecKind::None) metrics_.printBlocks = 0;
}

void SpecScanner::scan_line(std::string_view line) {
  if (line.size() > kShortLine) ++metrics_.lineCount;
  if (line.empty()) return;

  // Rules 1 to 16, dispatched on the first letter; rule order decides only among the names that
  // share a beginning ("attri_i('" before "attri_i(").
  switch (lower(static_cast<unsigned char>(line[0]))) {
    case 'v':
      if (begins_with(line, kVar)) return void(++metrics_.vars);
      break;
    case 's':
      if (begins_with(line, kSubview) || begins_with(line, kStdColor)) {
        return void(--metrics_.lineCount);
      }
      if (begins_with(line, kSpec)) {
        const std::string_view rest = line.substr(9);
        if (begins_with(rest, kTransaction)) return void(kind_ = SpecKind::Transaction);
        if (begins_with(rest, kProcedure)) return void(kind_ = SpecKind::Procedure);
        if (begins_with(rest, kReport)) return void(kind_ = SpecKind::Report);
      }
      break;
    case 'm':
      if (begins_with(line, kMap)) return void(--metrics_.lineCount);
      break;
    case 'a':
      if (begins_with(line, kAlias)) return void(--metrics_.lineCount);
      if (begins_with(line, kAttribute)) {
        if (line.size() > 8 && line[8] == '\'') return;  // "attri_i('": the line is done
        return void(++metrics_.attributesTotal);
      }
      if (begins_with(line, kAttributeProperty)) return void(++metrics_.attributeProperties);
      break;
    case 'c':
      if (begins_with(line, kCallingMain)) return void(--metrics_.lineCount);
      break;
    case 'b':
      if (begins_with(line, kBodyLine)) {
        if (contains(line, kCommand)) ++metrics_.commands;
        return;
      }
      break;
    case 't':
      if (begins_with(line, kTable)) {
        ++metrics_.tablesTotal;
        if (kind_ == SpecKind::Transaction) match_table_attributes(line);
        return;
      }
      if (begins_with(line, kDeleteControl)) return void(++metrics_.deleteControls);
      if (begins_with(line, kTableAttributeProperty))
        return void(++metrics_.tableAttributeProperties);
      break;
    default:
      break;
  }

  // Rule 17: "title([])" anywhere but at the very start makes a print block, ahead of the level
  // and rule lines below.
  if (!begins_with(line, kTitle) && contains(line, kTitle)) {
    return void(++metrics_.printBlocks);
  }

  switch (lower(static_cast<unsigned char>(line[0]))) {
    case 'l':
      if (begins_with(line, kLevel)) {
        ++metrics_.levels;
        if (kind_ == SpecKind::Transaction) capture_level_name(line);
      }
      break;
    case 'r':
      if (begins_with(line, kRule)) {
        if (begins_with(line, kPropertyRule)) return void(++metrics_.propertyRules);
        if (begins_with(line, kDatastoreRule)) return void(++metrics_.datastoreRules);
        if (contains(line, kRuleList)) ++metrics_.rules;
      }
      break;
    default:
      break;
  }
}

void SpecScanner::capture_level_name(std::string_view line) {
  std::string_view name;
  std::size_t comma;
  if (!first_argument(line, name, comma)) return;
  // The names are kept as one "?"-joined text and split at every "?" when tables are matched,
  // so a "?" inside a name splits it and pushes later names out of reach. Keep that exactly.
  for (std::size_t start = 0;;) {
    const auto mark = name.find('?', start);
    pending_pieces_.emplace_back(name.substr(start, mark - start));
    if (mark == std::string_view::npos) break;
    start = mark + 1;
  }
  ++metrics_.levelTables;
  // One more piece is now within the first levelTables pieces that table lines compare with.
  ++level_name_counts_[std::move(pending_pieces_.front())];
  pending_pieces_.pop_front();
}

void SpecScanner::match_table_attributes(std::string_view line) {
  std::string_view table;
  std::size_t comma;
  if (!first_argument(line, table, comma)) return;
  const auto found = level_name_counts_.find(table);
  if (found == level_name_counts_.end()) return;
  const auto list_start = line.find("',[", comma);
  if (list_start == std::string_view::npos) return;
  const auto list_end = line.find(']', list_start);
  if (list_end == std::string_view::npos) return;
  // The list text runs from the "," of "',[" to just before the "]": its pieces split at ","
  // number one more than its commas, so the highest piece number is the comma count.
  std::int64_t commas = 0;
  for (std::size_t i = list_start + 1; i < list_end; ++i) commas += line[i] == ',';
  // A table equal to several level names counts once for each of them.
  metrics_.tableAttributes += commas * found->second;
}

Status scan_spec_file(InputFile& file, SpecScanner& scanner, std::span<char> buffer) {
  scanner.begin();
  for (;;) {
    Result<std::size_t> n = file.read(buffer);
    if (!n.ok()) return n.error();
    if (*n == 0) break;
    scanner.feed(std::string_view(buffer.data(), *n));
  }
  scanner.finish();
  return {};
}

}  // namespace zentil
