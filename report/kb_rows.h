// What the summaries and comparisons of a KB work on: one row per object (spec file), by name.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "metrics/file_metrics.h"

namespace zentil {

// The rows of one report, held compactly for KBs of hundreds of thousands of objects: every
// name's bytes as the report writes them (in its code page) in one text, and per row where its
// name lies and its effective lines.
class KbRows {
 public:
  // Room for about `rows` rows and `name_bytes` bytes of names, so that the rows of a large
  // report are not moved as they come.
  void reserve(std::size_t rows, std::size_t name_bytes);
  void add(std::string_view name_bytes, std::int64_t lines);

  std::size_t size() const { return rows_.size(); }
  std::string_view name(std::size_t row) const {
    return std::string_view(names_).substr(rows_[row].offset, rows_[row].length);
  }
  std::int64_t lines(std::size_t row) const { return rows_[row].lines; }
  // The sum of the rows' effective lines.
  std::int64_t total() const { return total_; }
  // Whether each name's bytes come after the last one's, as a report written on a system that
  // matches names exactly lists them: then the names are distinct and in order already.
  bool ascending() const { return ascending_; }

 private:
  struct Row {
    std::size_t offset;
    std::size_t length;
    std::int64_t lines;
  };
  std::string names_;
  std::vector<Row> rows_;
  std::int64_t total_ = 0;
  bool ascending_ = true;
};

// The rows of a KbRows in the order of their names as the system matches file names (exactly,
// or ignoring case on Windows), rows of the same name in the report's order.
class NameOrder {
 public:
  explicit NameOrder(const KbRows& rows);

  std::size_t size() const { return order_.size(); }
  std::size_t row(std::size_t at) const { return order_[at]; }
  // What the system compares of the name of the row at position `at`.
  std::string_view key(std::size_t at) const {
    return keys_.empty() ? rows_.name(order_[at]) : std::string_view(keys_[order_[at]]);
  }
  // The first row, in the report's order, whose name an earlier row has already, and that
  // earlier row.
  std::optional<std::pair<std::size_t, std::size_t>> first_repeat() const;

 private:
  const KbRows& rows_;
  std::vector<std::string> keys_;  // by row; none where a name is its own key
  std::vector<std::uint32_t> order_;
};

// One object as the summaries show it: its name in UTF-8 (a character the report's code page
// lacks is "?") and its effective lines.
struct KbRow {
  std::string name;
  std::int64_t lines = 0;

  bool operator==(const KbRow&) const = default;
};

// Objects and effective lines of one kind of object.
struct KindTotals {
  std::int64_t files = 0;
  std::int64_t lines = 0;

  bool operator==(const KindTotals&) const = default;
};

// Transactions, procedures, reports, and files that declare no kind, in that order.
using KindTable = std::array<KindTotals, 4>;
std::size_t kind_index(SpecKind kind);
// The kinds in that order as the summaries show them, and as the JSON names them.
inline constexpr std::array<const char*, 4> kKindNames = {"Transacciones", "Procedimientos",
                                                          "Reportes", "Sin tipo"};
inline constexpr std::array<const char*, 4> kKindKeys = {"transaction", "procedure", "report",
                                                         "other"};

// A KB as one report shows it, and what a scan knows besides.
struct KbFigures {
  KbRows rows;                            // in the report's order
  std::optional<std::int64_t> processed;  // the entries a scan went through
  std::optional<KindTable> kinds;         // by the kind each scanned file declares
};

// The `count` rows of most effective lines, most first; rows of as many lines by name.
std::vector<KbRow> largest_rows(const KbRows& rows, std::size_t count);

// A file in both reports whose effective lines differ.
struct KbChange {
  std::string name;  // as the later report writes it
  std::int64_t before = 0;
  std::int64_t after = 0;

  bool operator==(const KbChange&) const = default;
};

// What changed between an earlier and a later report of a KB. Each list is whole and sorted by
// the size of its change, largest first (rows of equal change by name).
struct KbComparison {
  std::size_t rows_before = 0;
  std::int64_t lines_before = 0;
  std::vector<KbRow> added;    // only in the later report, with their lines
  std::vector<KbRow> removed;  // only in the earlier report, with their lines then
  std::vector<KbChange> changed;
  std::size_t unchanged = 0;  // in both, with the same lines
};

// Sorts changes of lines (each row's lines being its change) by their size, largest first,
// changes of equal size by name: the order of every list of a comparison.
void sort_by_change(std::vector<KbRow>& changes);

// Matches the rows of both reports by name as the system matches file names. The names of each
// report must be distinct under that match (the readers of both sides see to it).
KbComparison compare_rows(const KbRows& before, const KbRows& after);

}  // namespace zentil
