#include "cli/kb_json.h"

#include <nlohmann/json.hpp>

namespace zentil {
namespace {

// Keys in the order written, so that a person reading the document finds the totals first.
using Json = nlohmann::ordered_json;

double score(std::int64_t lines) {
  return static_cast<double>(lines) / 100.0;
}

Json rows_json(const std::vector<KbRow>& rows) {
  Json list = Json::array();
  for (const KbRow& row : rows) list.push_back({{"name", row.name}, {"lines", row.lines}});
  return list;
}

}  // namespace

std::string kb_json(const KbFigures& now, const KbComparison* comparison, std::size_t top) {
  Json doc = Json::object();
  if (now.processed) doc["processed"] = *now.processed;
  doc["rows"] = now.rows.size();
  doc["lines"] = now.lines;
  doc["score"] = score(now.lines);
  if (now.kinds) {
    static constexpr const char* kKeys[] = {"transaction", "procedure", "report", "other"};
    Json kinds = Json::object();
    for (std::size_t k = 0; k < now.kinds->size(); ++k) {
      kinds[kKeys[k]] = {{"files", (*now.kinds)[k].files}, {"lines", (*now.kinds)[k].lines}};
    }
    doc["kinds"] = std::move(kinds);
  }
  doc["largest"] = rows_json(largest_rows(now.rows, top));
  if (comparison != nullptr) {
    Json changed = Json::array();
    for (const KbChange& c : comparison->changed) {
      changed.push_back({{"name", c.name}, {"before", c.before}, {"after", c.after}});
    }
    doc["compare"] = {
        {"before",
         {{"rows", comparison->rows_before},
          {"lines", comparison->lines_before},
          {"score", score(comparison->lines_before)}}},
        {"added", rows_json(comparison->added)},
        {"removed", rows_json(comparison->removed)},
        {"changed", std::move(changed)},
        {"unchanged", comparison->unchanged},
    };
  }
  // Names are valid UTF-8 by construction; should one not be, it is mended, not thrown.
  return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace zentil
