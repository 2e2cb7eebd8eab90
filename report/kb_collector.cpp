#include "report/kb_collector.h"

#include "platform/encoding.h"

namespace zentil {

Status KbCollector::add(std::string_view name, const FileMetrics& metrics, SpecKind kind) {
  // The name as the report writes it, so that a later comparison with this report, read back,
  // matches the same names.
  encoded_.clear();
  append_report_name(encoded_, name);
  KbRow row{report_name_to_utf8(encoded_), effective_lines(metrics)};
  if (distinct_names_ && !keys_.insert(file_name_key(row.name)).second) {
    return Error{
        "No se puede comparar con el informe anterior: dos archivos de la carpeta se "
        "escriben «" +
        row.name +
        "» en el informe (un carácter que su página de códigos no "
        "tiene se escribe «?») y no se pueden distinguir"};
  }
  KindTotals& totals = (*figures_.kinds)[kind_index(kind)];
  ++totals.files;
  totals.lines += row.lines;
  figures_.lines += row.lines;
  figures_.rows.push_back(std::move(row));
  return {};
}

KbFigures KbCollector::take(std::int64_t processed) {
  figures_.processed = processed;
  return std::move(figures_);
}

}  // namespace zentil
