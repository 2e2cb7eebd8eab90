// The properties the fuzzers check, shared with the test that replays every kept input in the
// ordinary build. Each returns an empty text when the property holds, else what went wrong.
#pragma once

#include <string>
#include <string_view>

namespace zentil::fuzz {

// The input's first four bytes choose a read buffer size and the sizes of the reads; the rest is
// a spec file. Its counts and kind must not depend on the buffer or the reads, and must equal a
// scan of the whole text at once and the plain reference reading of the rules.
std::string check_scanner(std::string_view input);

// The input's first byte says how many counters follow in eight bytes each; the rest is a file
// name. Its report row must be exactly one line ending in CR LF, hold twelve commas more than the
// name, and end with the counters' values.
std::string check_report_row(std::string_view input);

}  // namespace zentil::fuzz
