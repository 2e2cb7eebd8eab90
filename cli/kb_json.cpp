#include "cli/kb_json.h"

#include <nlohmann/json.hpp>

namespace zentil {
namespace {

// Keys in the order written, so that a person reading the document finds the totals first.
using Json = nlohmann::ordered_json;

double score(std::int64_t lines) {
  return static_cast<double>(lines) / 100.0;
}

// An object of a list, built as the library stores it: lists may hold thousands of objects, and
// building each from an initializer list costs several times more.
Json entry(const std::string& name,
           std::initializer_list<std::pair<const char*, std::int64_t>> numbers) {
  Json::object_t object;
  object.reserve(1 + numbers.size());
  object.emplace_back("name", name);
  for (const auto& [key, value] : numbers) object.emplace_back(key, value);
  return Json(std::move(object));
}

Json rows_json(const std::vector<KbRow>& rows) {
  Json::array_t list;
  list.reserve(rows.size());
  for (const KbRow& row : rows) list.push_back(entry(row.name, {{"lines", row.lines}}));
  return Json(std::move(list));
}

}  // namespace

std::string kb_json(const KbFigures& now, const KbComparison* comparison, std::size_t top) {
  Json doc = Json::object();
  if (now.processed) doc["processed"] = *now.processed;
  doc["rows"] = now.rows.size();
  doc["lines"] = now.rows.total();
  doc["score"] = score(now.rows.total());
  if (now.kinds) {
    Json kinds = Json::object();
    for (std::size_t k = 0; k < now.kinds->size(); ++k) {
      kinds[kKindKeys[k]] = {{"files", (*now.kinds)[k].files}, {"lines", (*now.kinds)[k].lines}};
    }
    doc["kinds"] = std::move(kinds);
  }
  doc["largest"] = rows_json(largest_rows(now.rows, top));
  if (comparison != nullptr) {
    Json::array_t changed;
    changed.reserve(comparison->changed.size());
    for (const KbChange& c : comparison->changed) {
      changed.push_back(entry(c.name, {{"before", c.before}, {"after", c.after}}));
    }
    doc["compare"] = {
        {"before",
         {{"rows", comparison->rows_before},
          {"lines", comparison->lines_before},
          {"score", score(comparison->lines_before)}}},
        {"added", rows_json(comparison->added)},
        {"removed", rows_json(comparison->removed)},
        {"changed", Json(std::move(changed))},
        {"unchanged", comparison->unchanged},
    };
  }
  // Names are valid UTF-8 by construction; should one not be, it is mended, not thrown.
  return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace zentil
