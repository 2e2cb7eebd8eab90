#include "metrics/report_row.h"

#include <charconv>
#include <cstdint>

#include "platform/encoding.h"

namespace zentil {
namespace {

void append_field(std::string& out, std::int64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out += ',';
  out.append(digits, end);
}

}  // namespace

void append_report_row(std::string& out, std::string_view file_name, const FileMetrics& m) {
  append_name_windows1252(out, file_name);
  for (const std::int64_t value : {effective_lines(m), m.fileSize, m.levelTables, m.tableAttributes,
                                   m.tablesTotal, m.deleteControls, m.attributesTotal,
                                   m.printBlocks, m.levels, m.rules, m.commands, m.vars}) {
    append_field(out, value);
  }
  out += "\r\n";
}

}  // namespace zentil
