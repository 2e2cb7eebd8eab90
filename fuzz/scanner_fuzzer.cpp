// libFuzzer target: spec file bytes read in arbitrary pieces must count the same as in one piece
// and as the plain reading of the rules.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string failure =
      zentil::fuzz::check_scanner({reinterpret_cast<const char*>(data), size});
  if (!failure.empty()) {
    std::fprintf(stderr, "%s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
