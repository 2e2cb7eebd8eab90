// Gathers from a run what its summary and comparison need, row by row as the run writes them.
#pragma once

#include <string>
#include <unordered_set>

#include "report/kb_rows.h"
#include "report/report_run.h"

namespace zentil {

class KbCollector final : public RowSink {
 public:
  // With `distinct_names`, two rows whose names the report writes alike (as the system matches
  // file names) stop the run: they could not be told apart in a comparison.
  explicit KbCollector(bool distinct_names) : distinct_names_(distinct_names) {}

  Status add(std::string_view name, const FileMetrics& metrics, SpecKind kind) override;

  // What was gathered, with the count of entries the run went through.
  KbFigures take(std::int64_t processed);

 private:
  bool distinct_names_;
  KbFigures figures_{{}, 0, std::nullopt, KindTable{}};
  std::unordered_set<std::string> keys_;
  std::string encoded_;  // reused for each name
};

}  // namespace zentil
