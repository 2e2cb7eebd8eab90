// The properties the fuzzers check, shared with the tests that replay every kept input in the
// ordinary build. Each returns an empty text when the property holds, else what went wrong.
#pragma once

#include <string>
#include <string_view>

#include "metrics/file_metrics.h"

namespace zentil::fuzz {

// The input's first four bytes choose the largest piece, the sizes of the pieces and the longest
// line the scanner holds; the rest is a spec file. Its counts and kind must be the same fed in
// those pieces, one byte at a time, and whole; and cut into pieces of a size the same bytes
// choose, each scanned apart and the pieces joined.
std::string check_scanner(std::string_view input);

// The input's first byte says how many counters follow in eight bytes each; the rest is a file
// name. Its report row must be exactly one line ending in CR LF and hold twelve commas more than
// the name.
std::string check_report_row(std::string_view input);

// The input's first byte chooses piece sizes; the rest is an earlier report. Read in those
// pieces, one byte at a time, or whole, it must give the same rows or the same message; rows
// read have names, distinct as the system matches them, and lines that sum as reported.
std::string check_saved_report(std::string_view input);

// The kind ("T", "P", "R"; nothing for "O") and the counters that are not 0, in the order
// FileMetrics declares them: "T tables=1 lines=3 ...". Names: tables, attrs, lines, size,
// deletes, tattrs (tableAttributes), aprops (attributeProperties), tprops
// (tableAttributeProperties), prints, levels, ltables (levelTables), rules, drules (datastore
// rules), prules (property rules), cmds, vars.
std::string describe(const FileMetrics& m, SpecKind kind);
// describe() of `bytes` scanned whole.
std::string counts(std::string_view bytes);
// describe() of `bytes` cut into pieces of `piece_size`, each scanned apart, reading at most
// `read_size` bytes at a time, and joined; as the run does when a piece cannot be joined, the
// whole file in one pass then.
std::string counts_in_pieces(std::string_view bytes, std::size_t piece_size, std::size_t read_size);

}  // namespace zentil::fuzz
