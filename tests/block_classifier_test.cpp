// The block classifier: the searched texts found wherever the 64-byte blocks cut them, in either
// letter case, and near misses left alone, with each instruction set this processor has.
#include "metrics/block_classifier.h"

#include <gtest/gtest.h>

#include <string>

#include "metrics/spec_scanner.h"

namespace zentil {
namespace {

// commands, rules and print blocks of a procedure spec with `line` twice: once ended by CR LF,
// as the classifier sees it, then after a line of `head` alone, which shares a block with it and
// holds nothing, once unfinished at the end of the bytes, as a line that waits for more and is
// searched whole.
std::string counts(const std::string& head, const std::string& line) {
  SpecScanner s;
  s.begin();
  s.feed("spec_i([ proc\r\n" + line + "\r\n" + head + "\r\n" + line);
  s.finish();
  const FileMetrics& m = s.metrics();
  return std::to_string(m.commands) + " " + std::to_string(m.rules) + " " +
         std::to_string(m.printBlocks);
}

TEST(BlockClassifier, SearchedTextsAcrossBlockSeams) {
  struct Case {
    const char* head;
    const char* text;
    const char* counts;
  };
  const Case cases[] = {
      {"b_line_i(", "cmd,", "2 0 0"},      {"b_line_i(", "CmD,", "2 0 0"},
      {"b_line_i(", "cm d,", "0 0 0"},     {"b_line_i(", "cmd;", "0 0 0"},
      {"rule_i(", ",rule([", "0 2 0"},     {"rule_i(", ",RuLe([", "0 2 0"},
      {"rule_i(", ",rul([", "0 0 0"},      {"rule_i(", ",rule(x[", "0 0 0"},
      {"form_i(", "title([])", "0 0 2"},   {"form_i(", "TITLE([])", "0 0 2"},
      {"form_i(", "title([)]", "0 0 0"},   {"form_i(", "titl([])", "0 0 0"},
      {"title([])", "title([])", "0 0 0"},  // begins with it: no print block
      {"TITLE([])", "title([])", "0 0 0"},  // in any case
  };
  const std::string best = block_classifier_isa();
  for (const char* isa : {"portable", "sse2", "avx2"}) {
    if (!use_block_classifier_isa(isa)) continue;
    for (const Case& c : cases) {
      // The text starts 24 to 94 bytes into the bytes, across the seam at 64, and again across
      // the seam at 128 or 192 in the last line.
      for (std::size_t shift = 0; shift <= 70; ++shift) {
        EXPECT_EQ(counts(c.head, c.head + std::string(shift, 'x') + c.text + "x"), c.counts)
            << isa << ": " << c.head << " ... " << c.text << ", shift " << shift;
      }
    }
  }
  use_block_classifier_isa(best);
}

}  // namespace
}  // namespace zentil
