#include "cli/kb_json.h"

#include <nlohmann/json.hpp>

#include "cli/budget_message.h"

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

Json changes_json(const std::vector<KbChange>& changes) {
  Json::array_t list;
  list.reserve(changes.size());
  for (const KbChange& c : changes) {
    list.push_back(entry(c.name, {{"before", c.before}, {"after", c.after}}));
  }
  return Json(std::move(list));
}

Json history_json(const KbHistory& history) {
  Json::array_t releases;
  for (const ReleaseTotals& r : history.releases) {
    releases.push_back(
        {{"label", r.label}, {"rows", r.rows}, {"lines", r.lines}, {"score", score(r.lines)}});
  }
  return releases;
}

Json span_json(const KbHistory& history) {
  return {{"first", history.releases.front().label}, {"last", history.releases.back().label},
          {"grew", changes_json(history.grew)},      {"shrank", changes_json(history.shrank)},
          {"added", rows_json(history.added)},       {"removed", rows_json(history.removed)},
          {"unchanged", history.unchanged}};
}

Json budget_json(const GrowthVerdict& verdict) {
  const GrowthBudget& budget = verdict.budget;
  double percent = static_cast<double>(budget.value);
  for (int d = 0; d < budget.decimals; ++d) percent /= 10;
  const std::optional<std::int64_t> tenths = growth_tenths(verdict);
  return {{"limit", budget.percent ? Json{{"percent", percent}} : Json{{"lines", budget.value}}},
          {"growth",
           {{"lines", verdict.growth},
            {"score", score(verdict.growth)},
            {"percent", tenths ? Json(static_cast<double>(*tenths) / 10) : Json(nullptr)}}},
          {"exceeded", verdict.exceeded}};
}

}  // namespace

std::string kb_json(const KbOutcome& outcome, std::size_t top) {
  const KbFigures& now = outcome.now;
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
  if (const auto& comparison = outcome.comparison) {
    doc["compare"] = {
        {"before",
         {{"rows", comparison->rows_before},
          {"lines", comparison->lines_before},
          {"score", score(comparison->lines_before)}}},
        {"added", rows_json(comparison->added)},
        {"removed", rows_json(comparison->removed)},
        {"changed", changes_json(comparison->changed)},
        {"unchanged", comparison->unchanged},
    };
  }
  if (outcome.history) {
    doc["history"] = history_json(*outcome.history);
    doc["span"] = span_json(*outcome.history);
  }
  if (outcome.budget) doc["budget"] = budget_json(*outcome.budget);
  // Names are valid UTF-8 by construction; should one not be, it is mended, not thrown.
  return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace zentil
