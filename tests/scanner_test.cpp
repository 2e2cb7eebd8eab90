// The scanner beyond what the golden folders show (tests/golden/README.md): counts past 16 bits;
// files cut into pieces anywhere, each scanned apart and joined; and the fuzzers' properties
// over the inputs they keep.
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

// Cut at every byte, the pieces read a byte or a few at a time or whole, joined they count as
// one pass: lines across cuts of every kind, and what a piece takes from the ones before it.
TEST(Scanner, PiecesJoinedAsOnePass) {
  const std::string name(70'000, 'N');  // longer than any argument kept of a line not held
  const std::string trn = "spec_i([ trn, 'x' ])\r\n", table = "table_i(" + name + ",'n',[a])";
  const struct {
    const char* what;
    std::string bytes;
    const char* counts;
  } cases[] = {
      {"CR LF, cut between CR and LF too", trn + "level_i(A,1)\r\ntable_i(A,'A',[x,y])\r\n",
       "T tables=1 lines=3 tattrs=2 levels=1 ltables=1"},
      {"CR alone, as the last byte of a piece too",
       "spec_i([ trn\rlevel_i(A,1)\rtable_i(A,'',[x])\r",
       "T tables=1 lines=3 tattrs=1 levels=1 ltables=1"},
      {"an LF after CR LF starts a line",
       "spec_i([ proc\r\n\nb_line_i(cmd,)\r\n\nprint_i(title([]))", "P lines=3 prints=1"},
      {"the kind changes in later pieces",
       trn + "level_i(A,1)\rspec_i([ proc\rtable_i(A,'A',[x])\rlevel_i(B,1)\r" + trn +
           "table_i(A,'A',[y,z])\rtable_i(B,'B',[y,z])\r",
       "T tables=3 lines=8 tattrs=2 levels=2 ltables=1"},
      {"names captured, one split by \"?\", matched in later pieces",
       trn + "level_i(A?B,1)\rlevel_i(C,1)\rtable_i(B,'B',[x])\rtable_i(C,'C',[x])\rlevel_i(A,1)\r"
             "table_i(A,'A',[p,q])\r",
       "T tables=3 lines=7 tattrs=3 levels=3 ltables=3"},
      {"levels and tables before the kind line",
       "level_i(A,1)\rtable_i(A,'A',[x])\r" + trn +
           "table_i(A,'A',[x])\rlevel_i(A,1)\rtable_i(A,'A',[y])",
       "T tables=3 lines=6 tattrs=1 levels=2 ltables=1"},
      {"print blocks cleared by the last kind", "spec_i([ proc\rprint_i(title([]))\r" + trn,
       "T lines=3"},
      {"print blocks kept by the last kind", trn + "print_i(title([]))\rspec_i([ rpt\r",
       "R lines=3 prints=1"},
      {"no line end; a CR alone ends an empty line", "v_i(&x)\r\r\r\nv_i(&yyyyyyy)",
       "lines=1 vars=2"},
      {"a name too long to keep, which only one pass can match",
       trn + "level_i(" + name + ",1)\r" + table + "\r" + table + std::string(70'000, 'x') + "\r",
       "T tables=2 lines=4 tattrs=2 levels=1 ltables=1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fuzz::counts(c.bytes), c.counts) << c.what;
    const std::size_t step = c.bytes.size() < 1000 ? 1 : 9973;
    for (std::size_t piece = 1; piece <= c.bytes.size() + 1; piece += step) {
      for (const std::size_t read : {1, 2, 5, 4096}) {
        if (read < 4096 && step > 1) continue;
        EXPECT_EQ(fuzz::counts_in_pieces(c.bytes, piece, read), c.counts)
            << c.what << ", pieces of " << piece << ", reads of " << read;
      }
    }
  }
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
