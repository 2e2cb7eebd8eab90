#include "metrics/report_row.h"

#include <charconv>
#include <cstdint>

#include "platform/encoding.h"

namespace zentil {

std::size_t append_report_row(std::string& out, std::string_view file_name, const FileMetrics& m) {
  const std::size_t start = out.size();
  append_report_name(out, file_name);
  const std::size_t name_size = out.size() - start;
  // The twelve numbers go through one local buffer and one append.
  char fields[12 * 21 + 2];
  char* at = fields;
  char* const end = fields + sizeof fields;
  for (const std::int64_t value : {effective_lines(m), m.fileSize, m.levelTables, m.tableAttributes,
                                   m.tablesTotal, m.deleteControls, m.attributesTotal,
                                   m.printBlocks, m.levels, m.rules, m.commands, m.vars}) {
    *at++ = ',';
    at = std::to_chars(at, end, value).ptr;
  }
  *at++ = '\r';
  *at++ = '\n';
  out.append(fields, at);
  return name_size;
}

}  // namespace zentil
