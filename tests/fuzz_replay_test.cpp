// Replays the fuzzers' seed corpus and every input that ever made a fuzzer fail, with the same
// property checks, in the ordinary build.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "fuzz_properties.h"
#include "support/temp_dir.h"

namespace zentil {
namespace {

namespace fs = std::filesystem;

// The kept inputs of one fuzzer, hidden files (placeholders) left out.
std::vector<fs::path> kept_inputs(const std::string& target) {
  std::vector<fs::path> files;
  for (const char* kind : {"corpus", "regressions"}) {
    const fs::path dir = fs::path(ZENTIL_FUZZ_DIR) / kind / target;
    if (!fs::is_directory(dir)) continue;
    for (const auto& entry : fs::directory_iterator(dir)) {
      if (entry.is_regular_file() && !entry.path().filename().string().starts_with(".")) {
        files.push_back(entry.path());
      }
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

struct Target {
  const char* name;
  std::function<std::string(std::string_view)> check;
};

class FuzzReplay : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzReplay, EveryKeptInputHoldsTheProperty) {
  const auto files = kept_inputs(GetParam().name);
  ASSERT_FALSE(files.empty()) << "no seed corpus for " << GetParam().name;
  for (const auto& file : files) {
    EXPECT_EQ(GetParam().check(testing::read_file(file.string())), "") << file;
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay,
                         ::testing::Values(Target{"scanner_fuzzer", fuzz::check_scanner},
                                           Target{"report_row_fuzzer", fuzz::check_report_row}),
                         [](const auto& info) { return std::string(info.param.name); });

// Empty and short inputs are inputs too: the header bytes default to zero.
TEST(FuzzProperties, AcceptOrdinaryInputs) {
  EXPECT_EQ(fuzz::check_scanner(""), "");
  EXPECT_EQ(fuzz::check_scanner("\x01\x00\x01\x00"
                                "0123456789A\r\n\rv_i(x)\n\r"),
            "");
  EXPECT_EQ(fuzz::check_report_row(""), "");
  EXPECT_EQ(fuzz::check_report_row(std::string("\x00"
                                               "a,b\r\nc",
                                               7)),
            "");
}

}  // namespace
}  // namespace zentil
