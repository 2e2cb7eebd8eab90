// Gathers from a run what its summary and comparison need, row by row as the run writes them.
#pragma once

#include <functional>
#include <string>

#include "report/kb_rows.h"
#include "report/report_run.h"

namespace zentil {

class KbCollector final : public RowSink {
 public:
  // With `distinct_names`, two rows whose names the report writes alike (as the system matches
  // file names) stop the run before its report is saved: a comparison could not tell them
  // apart.
  // Before the first file is scanned, it also waits for what `before_scan` answers (a failure
  // stops the run there); once the last row is in and checked, it hands what it gathered to
  // `rows_done`, while the run saves its report.
  explicit KbCollector(bool distinct_names, std::function<Status()> before_scan = nullptr,
                       std::function<void(KbFigures)> rows_done = nullptr)
      : distinct_names_(distinct_names),
        before_scan_(std::move(before_scan)),
        rows_done_(std::move(rows_done)) {}

  Status begin(std::size_t entries) override;
  Status add(std::string_view name, const FileMetrics& metrics, SpecKind kind) override;
  Status finish() override;

  // What was gathered, with the count of entries the run lists.
  KbFigures take();

 private:
  Error repeated(std::pair<std::size_t, std::size_t> rows) const;

  bool distinct_names_;
  std::function<Status()> before_scan_;
  std::function<void(KbFigures)> rows_done_;
  std::int64_t entries_ = 0;
  KbFigures figures_{{}, std::nullopt, KindTable{}};
};

}  // namespace zentil
