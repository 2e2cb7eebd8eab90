// The scanner beyond what the golden folders show (tests/golden/README.md): counts past 16 bits;
// and the fuzzers' properties over the inputs they keep.
#include "metrics/spec_scanner.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz_properties.h"
#include "support.h"

namespace zentil {
namespace {

TEST(Scanner, CountsGoOnPast32767) {
  std::string vars, levels = "spec_i([ trn\r";
  for (int i = 0; i < 40000; ++i) vars += "v_i(&x)\r", levels += "level_i(L,1)\r";
  EXPECT_EQ(fuzz::counts(vars), "vars=40000");
  EXPECT_EQ(fuzz::counts(levels + "table_i(L,'',[a,b])\r"),
            "T tables=1 lines=40002 tattrs=80000 levels=40000 ltables=40000");
}

// The fuzzers' properties over every input the fuzzers keep (their seed corpus and each input
// that ever made one fail) and, for the scanner, every golden spec file; each also behind first
// bytes that choose other piece sizes.
TEST(Fuzz, KeptInputs) {
  using Check = std::string (*)(std::string_view);
  const std::pair<const char*, Check> kept[] = {
      {"examples/sample-kb", fuzz::check_scanner},
      {"tests/golden/odd", fuzz::check_scanner},
      {"tests/golden/rules", fuzz::check_scanner},
      {"fuzz/corpus/scanner_fuzzer", fuzz::check_scanner},
      {"fuzz/regressions/scanner_fuzzer", fuzz::check_scanner},
      {"fuzz/corpus/report_row_fuzzer", fuzz::check_report_row},
      {"fuzz/regressions/report_row_fuzzer", fuzz::check_report_row},
      {"tests/golden", fuzz::check_saved_report},
      {"fuzz/corpus/saved_report_fuzzer", fuzz::check_saved_report},
      {"fuzz/regressions/saved_report_fuzzer", fuzz::check_saved_report}};
  for (const auto& [dir, check] : kept) {
    for (const auto& file :
         std::filesystem::directory_iterator(ZENTIL_SOURCE_DIR "/" + std::string(dir))) {
      if (file.is_directory() || file.path().filename().string().starts_with(".")) continue;
      const std::string bytes = testing::read_file(file.path());
      for (const char seed : {0, 1, 2, 3, 5, 8}) {
        const std::string header = seed ? std::string{char(seed * 37), 0, seed, 0} : "";
        EXPECT_EQ(check(header + bytes), "") << file.path() << ", seed " << +seed;
      }
    }
  }
}

}  // namespace
}  // namespace zentil
