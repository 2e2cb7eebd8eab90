// The counts of one spec file, as the scanner leaves them and the row writer reads them.
#pragma once

#include <cstdint>

namespace zentil {

// What a spec file declares, by its last kind line.
enum class SpecKind : char {
  None = 'O',         // no kind line seen
  Transaction = 'T',  // "spec_i([ trn"
  Procedure = 'P',    // "spec_i([ proc"
  Report = 'R',       // "spec_i([ rpt"
};

// Every counter is a signed 64-bit number: none of them overflows on real input, and lineCount
// (hence the effective lines) may be negative.
struct FileMetrics {
  std::int64_t tablesTotal = 0;
  std::int64_t attributesTotal = 0;
  std::int64_t lineCount = 0;
  std::int64_t fileSize = 0;
  std::int64_t deleteControls = 0;
  std::int64_t tableAttributes = 0;
  std::int64_t attributeProperties = 0;
  std::int64_t tableAttributeProperties = 0;
  std::int64_t printBlocks = 0;
  std::int64_t levels = 0;
  std::int64_t levelTables = 0;
  std::int64_t rules = 0;
  std::int64_t datastoreRules = 0;
  std::int64_t propertyRules = 0;
  std::int64_t commands = 0;
  std::int64_t vars = 0;

  bool operator==(const FileMetrics&) const = default;
};

// At the end of a file: print blocks count only where its last kind line declares a procedure or
// a report.
inline void settle_print_blocks(FileMetrics& m, SpecKind last_kind) {
  if (last_kind == SpecKind::Transaction || last_kind == SpecKind::None) m.printBlocks = 0;
}

// The file's share of the KB score and its "Líneas" column: lines that carry weight, less the
// property and datastore lines that the generator writes in bulk.
inline std::int64_t effective_lines(const FileMetrics& m) {
  return m.lineCount - m.attributeProperties - m.datastoreRules - m.propertyRules -
         m.tableAttributeProperties;
}

}  // namespace zentil
