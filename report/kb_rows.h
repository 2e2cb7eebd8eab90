// What the summaries and comparisons of a KB work on: one row per object (spec file), by name.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "metrics/file_metrics.h"

namespace zentil {

// One row of a report: the file's name in UTF-8, as the report writes it (a character the
// report's code page lacks is "?"), and its effective lines.
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

// A KB as one report shows it, and what a scan knows besides.
struct KbFigures {
  std::vector<KbRow> rows;                // in the report's order
  std::int64_t lines = 0;                 // the sum of the rows' effective lines
  std::optional<std::int64_t> processed;  // the entries a scan went through
  std::optional<KindTable> kinds;         // by the kind each scanned file declares
};

// The `count` rows of most effective lines, most first; rows of as many lines by name.
std::vector<KbRow> largest_rows(const std::vector<KbRow>& rows, std::size_t count);

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

// Matches the rows of both reports by name as the system matches file names (file_name_key).
// The names of each report must be distinct under that match (the readers of both sides see to
// it).
KbComparison compare_rows(const std::vector<KbRow>& before, const std::vector<KbRow>& after);

}  // namespace zentil
