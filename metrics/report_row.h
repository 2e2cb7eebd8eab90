// The report's bytes: a Windows-1252 header and one row of 13 comma-separated fields per
// scanned file, every line ended by CR LF. Nothing is quoted or escaped.
#pragma once

#include <string>
#include <string_view>

#include "metrics/file_metrics.h"

namespace zentil {

// The header line in Windows-1252 ("í" is 0xED, "ñ" is 0xF1), CR LF included.
inline constexpr std::string_view kReportHeader =
    "Archivo,L\xEDneas,Tama\xF1o,Tablas,Atrib. tab.,Tablas total,Ctrl. IR dlt.,Atrib. total,"
    "Print blocks,Niveles,Cant. Reglas,Comandos,Vars\r\n";

// Appends the row of one file: its name as the listing gives it (encoded for the report), then
// effective lines, fileSize, levelTables, tableAttributes, tablesTotal, deleteControls,
// attributesTotal, printBlocks, levels, rules, commands and vars in plain decimal; CR LF.
// Returns how many bytes the name takes at the start of the row.
std::size_t append_report_row(std::string& out, std::string_view file_name, const FileMetrics& m);

}  // namespace zentil
