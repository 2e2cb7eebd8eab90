// A libFuzzer target around one property of fuzz_properties.h, named by ZENTIL_FUZZ_CHECK:
// scanner_fuzzer (spec file bytes count the same however they are read), report_row_fuzzer
// (any file name and counters give one well-formed report row) and saved_report_fuzzer (any
// bytes read back as an earlier report give the same rows or message however they are read).
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string failure =
      zentil::fuzz::ZENTIL_FUZZ_CHECK({reinterpret_cast<const char*>(data), size});
  if (!failure.empty()) std::fprintf(stderr, "%s\n", failure.c_str()), std::abort();
  return 0;
}
