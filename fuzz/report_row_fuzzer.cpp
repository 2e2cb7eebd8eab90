// libFuzzer target: any file name and counters give one well-formed report row.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string failure =
      zentil::fuzz::check_report_row({reinterpret_cast<const char*>(data), size});
  if (!failure.empty()) {
    std::fprintf(stderr, "%s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
