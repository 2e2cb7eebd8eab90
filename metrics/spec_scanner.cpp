#include "metrics/spec_scanner.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "metrics/block_classifier.h"
#include "metrics/fact_names.h"
#include "metrics/fact_text.h"
#include "metrics/transaction_lines.h"

namespace zentil {
namespace {

using fact_text::begins_with;
using fact_text::lower;
using namespace fact_names;

// A line must be longer than this to count as a line of weight.
constexpr std::size_t kShortLine = 10;

// A line held whole, as the rules read it. LongLine answers the same questions for a line that
// streams past.
class WholeLine {
 public:
  explicit WholeLine(std::string_view text) : text_(text) {}

  std::size_t size() const { return text_.size(); }
  std::string_view head() const { return text_; }
  // Whether the line holds "cmd,", ",rule([" or "title([])" anywhere.
  bool holds_command() const { return fact_text::contains(text_, kCommand); }
  bool holds_rule_list() const { return fact_text::contains(text_, kRuleList); }
  bool holds_title() const { return fact_text::contains(text_, kTitle); }

  // Everything strictly between the first "(" and the first "," after it; false when either is
  // missing.
  bool first_argument(std::string_view& argument) const {
    std::size_t comma;
    return find_argument(argument, comma);
  }
  // A line held whole keeps its argument whole.
  bool argument_cut() const { return false; }

  // The commas of the list text: from the "," of the first "',[" at or after the comma that
  // ends the first argument, to just before the first "]" after it. Its pieces split at ","
  // number one more, so this is the highest piece number. -1 when there is no such list.
  std::int64_t list_commas() const {
    std::string_view argument;
    std::size_t comma;
    if (!find_argument(argument, comma)) return -1;
    const auto list_start = text_.find(kListOpen.text(), comma);
    if (list_start == std::string_view::npos) return -1;
    const auto list_end = text_.find(']', list_start);
    if (list_end == std::string_view::npos) return -1;
    const std::string_view list = text_.substr(list_start + 1, list_end - list_start - 1);
    return std::count(list.begin(), list.end(), ',');
  }

 private:
  bool find_argument(std::string_view& argument, std::size_t& comma) const {
    const auto open = text_.find('(');
    if (open == std::string_view::npos) return false;
    comma = text_.find(',', open);
    if (comma == std::string_view::npos) return false;
    argument = text_.substr(open + 1, comma - open - 1);
    return true;
  }

  std::string_view text_;
};

// Which searched texts a line holds, one bit each.
enum FoundText : std::uint32_t { kFoundCommand = 1, kFoundRuleList = 2, kFoundTitle = 4 };

// A line whose searched texts the block classifier has already found.
class SplitLine : public WholeLine {
 public:
  SplitLine(std::string_view text, std::uint32_t found) : WholeLine(text), found_(found) {}

  bool holds_command() const { return (found_ & kFoundCommand) != 0; }
  bool holds_rule_list() const { return (found_ & kFoundRuleList) != 0; }
  bool holds_title() const { return (found_ & kFoundTitle) != 0; }

 private:
  std::uint32_t found_;
};

// The searched texts whose occurrences `masks` marks among the bits of `bits`.
[[gnu::always_inline]] inline std::uint32_t found_in(const BlockMasks& masks, std::uint64_t bits) {
  return ((masks.command & bits) != 0 ? kFoundCommand : 0u) |
         ((masks.rule_list & bits) != 0 ? kFoundRuleList : 0u) |
         ((masks.title & bits) != 0 ? kFoundTitle : 0u);
}

}  // namespace

SpecScanner::SpecScanner(std::size_t long_line) : long_line_(std::max(long_line, kMinLongLine)) {}

void SpecScanner::begin() {
  metrics_ = FileMetrics{};
  kind_ = SpecKind::None;
  kind_seen_ = false;
  transaction_lines_ = false;
  piece_ = false;
  argument_cut_ = false;
  piece_lines_.clear();
  carry_.clear();
  long_.reset();
  skip_lf_ = false;
  levels_.clear();
}

void SpecScanner::begin_piece(bool after_cr) {
  begin();
  piece_ = true;
  transaction_lines_ = true;  // until a kind line says otherwise
  skip_lf_ = after_cr;
}

void SpecScanner::finish_piece(SpecPiece& piece) {
  if (line_open()) close_open_line();
  skip_lf_ = false;
  piece.metrics = metrics_;
  piece.kind = kind_;
  piece.kind_seen = kind_seen_;
  piece.argument_cut = argument_cut_;
  piece.transaction_lines.clear();
  std::swap(piece.transaction_lines, piece_lines_);
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
  if (line_open()) {
    const void* found = std::memchr(line, '\r', chunk.size());
    if (found == nullptr) return extend_open_line(chunk);
    const char* cr = static_cast<const char*>(found);
    extend_open_line(std::string_view(line, static_cast<std::size_t>(cr - line)));
    close_open_line();
    if (!next_line(cr)) return;
  }

  // The rest in one pass: the classifier marks the line ends and the searched texts of each
  // block of 64 bytes, and each line takes the marks that fall within it.
  BlockClassifier classifier(line, end);
  std::array<BlockMasks, 64> batch;
  const char* block = line;
  std::uint32_t found = 0;  // in the current line, in the blocks before
  while (const std::size_t count = classifier.next(batch)) {
    for (std::size_t k = 0; k < count; ++k, block += BlockClassifier::kBlockSize) {
      BlockMasks& masks = batch[k];
      // The bits after the last line end seen in this block.
      std::uint64_t after = ~std::uint64_t{0};
      for (std::uint64_t crs = masks.cr; crs != 0; crs &= crs - 1) {
        const std::uint64_t upto = crs ^ (crs - 1);  // the bits up to this CR
        const std::uint32_t line_found = found | found_in(masks, upto & after);
        after = ~upto;
        found = 0;
        const char* cr = block + std::countr_zero(crs);
        scan(SplitLine(std::string_view(line, static_cast<std::size_t>(cr - line)), line_found));
        if (!next_line(cr)) return;
      }
      found |= found_in(masks, after);
    }
  }
  // An unfinished line waits for the next chunk; what was found in it is found again when it
  // is whole.
  if (line < end) extend_open_line(std::string_view(line, static_cast<std::size_t>(end - line)));
}

void SpecScanner::finish() {
  // Bytes after the last terminator are the last line; nothing after it is no line at all.
  if (line_open()) close_open_line();
  skip_lf_ = false;
  settle_print_blocks(metrics_, kind_);
}

void SpecScanner::extend_open_line(std::string_view bytes) {
  if (long_.active()) return long_.consume(bytes);
  if (carry_.size() + bytes.size() <= long_line_) return void(carry_.append(bytes));
  // Too long to hold: from here on the line is measured as it streams past.
  long_.start(piece_ ? kPieceArgument : levels_.longest());
  long_.consume(carry_);
  long_.consume(bytes);
  carry_.clear();
}

void SpecScanner::close_open_line() {
  if (long_.active()) {
    scan(long_);
    long_.reset();
  } else {
    scan_line(carry_);
    carry_.clear();
  }
}

void SpecScanner::scan_line(std::string_view line) {
  scan(WholeLine(line));
}

template <typename Line>
[[gnu::always_inline]] inline void SpecScanner::scan(const Line& line) {
  if (line.size() > kShortLine) ++metrics_.lineCount;
  const std::string_view head = line.head();
  if (head.empty()) return;

  // Rules 1 to 16, dispatched on the first letter; rule order decides only among the names that
  // share a beginning ("attri_i('" before "attri_i(").
  switch (lower(static_cast<unsigned char>(head[0]))) {
    case 'v':
      if (begins_with(head, kVar)) return void(++metrics_.vars);
      break;
    case 's':
      if (begins_with(head, kSubview) || begins_with(head, kStdColor)) {
        return void(--metrics_.lineCount);
      }
      if (begins_with(head, kSpec)) {
        if (begins_with(head, kSpecTransaction)) return set_kind(SpecKind::Transaction);
        if (begins_with(head, kSpecProcedure)) return set_kind(SpecKind::Procedure);
        if (begins_with(head, kSpecReport)) return set_kind(SpecKind::Report);
      }
      break;
    case 'm':
      if (begins_with(head, kMap)) return void(--metrics_.lineCount);
      break;
    case 'a':
      if (begins_with(head, kAlias)) return void(--metrics_.lineCount);
      if (begins_with(head, kAttribute)) {
        if (head.size() > 8 && head[8] == '\'') return;  // "attri_i('": the line is done
        return void(++metrics_.attributesTotal);
      }
      if (begins_with(head, kAttributeProperty)) return void(++metrics_.attributeProperties);
      break;
    case 'c':
      if (begins_with(head, kCallingMain)) return void(--metrics_.lineCount);
      break;
    case 'b':
      if (begins_with(head, kBodyLine)) {
        if (line.holds_command()) ++metrics_.commands;
        return;
      }
      break;
    case 't':
      if (begins_with(head, kTable)) {
        ++metrics_.tablesTotal;
        if (transaction_lines_) table_line(line);
        return;
      }
      if (begins_with(head, kDeleteControl)) return void(++metrics_.deleteControls);
      if (begins_with(head, kTableAttributeProperty)) {
        return void(++metrics_.tableAttributeProperties);
      }
      break;
    default:
      break;
  }

  // Rule 17: "title([])" anywhere but at the very start makes a print block, ahead of the level
  // and rule lines below.
  if (line.holds_title() && !begins_with(head, kTitle)) return void(++metrics_.printBlocks);

  switch (lower(static_cast<unsigned char>(head[0]))) {
    case 'l':
      if (begins_with(head, kLevel)) {
        ++metrics_.levels;
        if (transaction_lines_) level_line(line);
      }
      break;
    case 'r':
      if (begins_with(head, kRule)) {
        if (begins_with(head, kPropertyRule)) return void(++metrics_.propertyRules);
        if (begins_with(head, kDatastoreRule)) return void(++metrics_.datastoreRules);
        if (line.holds_rule_list()) ++metrics_.rules;
      }
      break;
    default:
      break;
  }
}

template <typename Line>
[[gnu::noinline]] void SpecScanner::level_line(const Line& line) {
  std::string_view name;
  if (!line.first_argument(name)) return;
  if (piece_) {
    using namespace transaction_lines;
    return append(piece_lines_, kLevelLine | (kind_seen_ ? 0 : kBeforeKind), name, 0);
  }
  levels_.capture(name);
  ++metrics_.levelTables;
}

template <typename Line>
[[gnu::noinline]] void SpecScanner::table_line(const Line& line) {
  std::string_view table;
  if (!line.first_argument(table)) return;
  if (piece_) {
    if (line.argument_cut()) return void(argument_cut_ = true);
    const std::int64_t commas = line.list_commas();
    if (commas < 0) return;
    using namespace transaction_lines;
    return append(piece_lines_, kTableLine | (kind_seen_ ? 0 : kBeforeKind), table, commas);
  }
  const std::int64_t equal = levels_.count(table);
  if (equal == 0) return;
  const std::int64_t commas = line.list_commas();
  if (commas < 0) return;
  // A table equal to several level names counts once for each of them.
  metrics_.tableAttributes += commas * equal;
}

Status scan_spec_file(InputFile& file, SpecScanner& scanner, std::span<char> buffer,
                      const std::atomic<bool>* stop) {
  scanner.begin();
  for (;;) {
    if (stop_requested(stop)) return stopped_error();
    Result<std::size_t> n = file.read(buffer);
    if (!n.ok()) return n.error();
    if (*n == 0) break;
    scanner.feed(std::string_view(buffer.data(), *n));
  }
  scanner.finish();
  return {};
}

}  // namespace zentil
