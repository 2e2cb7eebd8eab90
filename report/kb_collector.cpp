#include "report/kb_collector.h"

#include "platform/encoding.h"

namespace zentil {

Status KbCollector::begin(std::size_t entries) {
  entries_ = static_cast<std::int64_t>(entries);
  figures_.rows.reserve(entries, entries * 16);
  return before_scan_ ? before_scan_() : Status{};
}

Status KbCollector::add(std::string_view name, const FileMetrics& metrics, SpecKind kind) {
  // The name as the report writes it, as a comparison with this report read back will see it.
  const std::int64_t lines = effective_lines(metrics);
  figures_.rows.add(name, lines);
  KindTotals& totals = (*figures_.kinds)[kind_index(kind)];
  ++totals.files;
  totals.lines += lines;
  return {};
}

Status KbCollector::finish() {
  if (distinct_names_) {
    if (const auto repeat = NameOrder(figures_.rows).first_repeat()) return repeated(*repeat);
  }
  if (rows_done_) rows_done_(take());
  return {};
}

Error KbCollector::repeated(std::pair<std::size_t, std::size_t> rows) const {
  return Error{
      "No se puede comparar con el informe anterior: dos archivos de la carpeta se "
      "escriben «" +
      report_name_to_utf8(figures_.rows.name(rows.first)) +
      "» en el informe (un carácter que su página de códigos no tiene se escribe «?») "
      "y no se pueden distinguir"};
}

KbFigures KbCollector::take() {
  figures_.processed = entries_;
  return std::move(figures_);
}

}  // namespace zentil
