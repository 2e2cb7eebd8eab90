#include "report/kb_rows.h"

#include <algorithm>
#include <numeric>

#include "platform/encoding.h"

namespace zentil {
namespace {

// Effective lines stay far from the limits of 64 bits (the readers see to it), and so do their
// differences.
std::int64_t magnitude(std::int64_t change) {
  return change < 0 ? -change : change;
}

// Largest change first; equal changes by name.
template <typename Row, typename Change>
void sort_by_size(std::vector<Row>& rows, Change change) {
  std::sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
    const std::int64_t ma = magnitude(change(a)), mb = magnitude(change(b));
    return ma != mb ? ma > mb : a.name < b.name;
  });
}

}  // namespace

void KbRows::reserve(std::size_t rows, std::size_t name_bytes) {
  rows_.reserve(rows);
  names_.reserve(name_bytes);
}

void KbRows::add(std::string_view name_bytes, std::int64_t lines) {
  if (ascending_ && !rows_.empty()) ascending_ = name(rows_.size() - 1) < name_bytes;
  rows_.push_back({names_.size(), name_bytes.size(), lines});
  names_.append(name_bytes);
  total_ += lines;
}

NameOrder::NameOrder(const KbRows& rows) : rows_(rows), order_(rows.size()) {
  std::iota(order_.begin(), order_.end(), 0u);
  if (!file_names_ignore_case() && rows.ascending()) return;  // in order, and no name twice
  if (file_names_ignore_case()) {
    keys_.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) keys_.push_back(report_name_key(rows.name(i)));
  }
  const auto key_of = [&](std::uint32_t row) {
    return keys_.empty() ? rows.name(row) : std::string_view(keys_[row]);
  };
  const auto before = [&](std::uint32_t a, std::uint32_t b) { return key_of(a) < key_of(b); };
  // A report lists its rows in name order already, most often: then this costs one pass.
  if (!std::is_sorted(order_.begin(), order_.end(), before)) {
    std::stable_sort(order_.begin(), order_.end(), before);
  }
}

std::optional<std::pair<std::size_t, std::size_t>> NameOrder::first_repeat() const {
  std::optional<std::pair<std::size_t, std::size_t>> first;
  if (!file_names_ignore_case() && rows_.ascending()) return first;
  for (std::size_t at = 1; at < order_.size(); ++at) {
    // Rows of one name stand together, in the report's order: the first of them is the earlier.
    if (key(at) != key(at - 1)) continue;
    std::size_t earlier = at - 1;
    while (earlier > 0 && key(earlier - 1) == key(at)) --earlier;
    if (!first || order_[at] < first->first) first = {{order_[at], order_[earlier]}};
  }
  return first;
}

void sort_by_change(std::vector<KbRow>& changes) {
  sort_by_size(changes, [](const KbRow& r) { return r.lines; });
}

std::size_t kind_index(SpecKind kind) {
  switch (kind) {
    case SpecKind::Transaction:
      return 0;
    case SpecKind::Procedure:
      return 1;
    case SpecKind::Report:
      return 2;
    case SpecKind::None:
      break;
  }
  return 3;
}

std::vector<KbRow> largest_rows(const KbRows& rows, std::size_t count) {
  std::vector<std::uint32_t> order(rows.size());
  std::iota(order.begin(), order.end(), 0u);
  count = std::min(count, order.size());
  std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(count), order.end(),
                    [&](std::uint32_t a, std::uint32_t b) {
                      return rows.lines(a) != rows.lines(b) ? rows.lines(a) > rows.lines(b)
                                                            : rows.name(a) < rows.name(b);
                    });
  std::vector<KbRow> largest;
  largest.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    largest.push_back({report_name_to_utf8(rows.name(order[i])), rows.lines(order[i])});
  }
  return largest;
}

KbComparison compare_rows(const KbRows& before, const KbRows& after) {
  KbComparison comparison;
  comparison.rows_before = before.size();
  comparison.lines_before = before.total();
  const NameOrder earlier(before), later(after);
  // Both in name order: one pass over the two, as a merge does.
  std::size_t i = 0, j = 0;
  while (i < earlier.size() || j < later.size()) {
    const int order = i == earlier.size()             ? 1
                      : j == later.size()             ? -1
                      : earlier.key(i) < later.key(j) ? -1
                      : later.key(j) < earlier.key(i) ? 1
                                                      : 0;
    if (order < 0) {
      const std::size_t row = earlier.row(i++);
      comparison.removed.push_back({report_name_to_utf8(before.name(row)), before.lines(row)});
    } else if (order > 0) {
      const std::size_t row = later.row(j++);
      comparison.added.push_back({report_name_to_utf8(after.name(row)), after.lines(row)});
    } else {
      const std::int64_t was = before.lines(earlier.row(i++));
      const std::size_t row = later.row(j++);
      if (was == after.lines(row)) {
        ++comparison.unchanged;
      } else {
        comparison.changed.push_back({report_name_to_utf8(after.name(row)), was, after.lines(row)});
      }
    }
  }
  sort_by_change(comparison.added);
  sort_by_change(comparison.removed);
  sort_by_size(comparison.changed, [](const KbChange& c) { return c.after - c.before; });
  return comparison;
}

}  // namespace zentil
