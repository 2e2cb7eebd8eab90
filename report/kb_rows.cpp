#include "report/kb_rows.h"

#include <algorithm>
#include <unordered_map>

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
void sort_by_change(std::vector<Row>& rows, Change change) {
  std::sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
    const std::int64_t ma = magnitude(change(a)), mb = magnitude(change(b));
    return ma != mb ? ma > mb : a.name < b.name;
  });
}

}  // namespace

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

std::vector<KbRow> largest_rows(const std::vector<KbRow>& rows, std::size_t count) {
  std::vector<const KbRow*> order;
  order.reserve(rows.size());
  for (const KbRow& row : rows) order.push_back(&row);
  count = std::min(count, order.size());
  std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(count), order.end(),
                    [](const KbRow* a, const KbRow* b) {
                      return a->lines != b->lines ? a->lines > b->lines : a->name < b->name;
                    });
  std::vector<KbRow> largest;
  largest.reserve(count);
  for (std::size_t i = 0; i < count; ++i) largest.push_back(*order[i]);
  return largest;
}

KbComparison compare_rows(const std::vector<KbRow>& before, const std::vector<KbRow>& after) {
  KbComparison comparison;
  comparison.rows_before = before.size();
  std::unordered_map<std::string, std::size_t> earlier;  // by name key, the row's index
  earlier.reserve(before.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    earlier.emplace(file_name_key(before[i].name), i);
    comparison.lines_before += before[i].lines;
  }
  std::vector<bool> matched(before.size(), false);
  for (const KbRow& row : after) {
    const auto found = earlier.find(file_name_key(row.name));
    if (found == earlier.end()) {
      comparison.added.push_back(row);
      continue;
    }
    matched[found->second] = true;
    const std::int64_t was = before[found->second].lines;
    if (was == row.lines) {
      ++comparison.unchanged;
    } else {
      comparison.changed.push_back({row.name, was, row.lines});
    }
  }
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (!matched[i]) comparison.removed.push_back(before[i]);
  }
  const auto lines = [](const KbRow& r) { return r.lines; };
  sort_by_change(comparison.added, lines);
  sort_by_change(comparison.removed, lines);
  sort_by_change(comparison.changed, [](const KbChange& c) { return c.after - c.before; });
  return comparison;
}

}  // namespace zentil
