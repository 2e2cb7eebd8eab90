// The scanner's one pass over spec text: 64 bytes at a time, one set of byte compares finds the
// line ends and the places where the three texts that the rules search for ("cmd,", ",rule(["
// and "title([])") occur, so that no line is searched again afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace zentil {

// What one block of 64 bytes holds; bit i stands for byte i of the block.
struct BlockMasks {
  std::uint64_t cr = 0;  // the CR bytes, where lines end
  // Where each searched text occurs, marked at one byte of it: the "," of "cmd," and the "[" of
  // ",rule([" and of "title([])". Only whole occurrences are marked, letters in any case; since
  // no searched text holds a CR or an LF, an occurrence lies within one line.
  std::uint64_t command = 0;
  std::uint64_t rule_list = 0;
  std::uint64_t title = 0;
};

// Contract: classifies the text [begin, end), which must begin at the start of a line (nothing
// before `begin` can belong to an occurrence), in consecutive blocks of 64 bytes from `begin`
// on; the last block may be short, its missing bytes counting as none of those looked for. An
// occurrence is marked only when it lies wholly within [begin, end).
//
// How: each block's bytes are compared once with CR, ",", "d" (either case), "(" and "[",
// giving one mask per byte; shifting those masks by a bit, across the seam with the block
// before, gives the candidates: "d," for "cmd,", and "([" for both ",rule([" and "title([])",
// in which "[" stands at the same place. Letters are common in spec lines and these marks are
// not, and pairs of them rarer still: where every sixth byte is a mark, about one block in
// four holds a candidate, and half the candidates are occurrences. Each candidate is compared
// with its whole text where it stands. SSE2 does the compares, or AVX2 when the processor has
// it.
class BlockClassifier {
 public:
  static constexpr std::size_t kBlockSize = 64;

  BlockClassifier(const char* begin, const char* end);

  // Fills `out` with the masks of the next blocks, at most out.size() of them; returns how
  // many (0 once the text is done).
  std::size_t next(std::span<BlockMasks> out);

  // The marks of the blocks so far that the next block's candidates may begin with.
  struct Seam {
    std::uint64_t letter_d = 0;
    std::uint64_t open = 0;
  };

 private:
  void confirm(BlockMasks& masks, std::uint64_t brackets, const char* block) const;

  const char* begin_;
  const char* end_;
  const char* at_;
  Seam seam_;
};

// Which instruction set classifies: "avx2", "sse2" or "portable".
const char* block_classifier_isa();
// For tests and benchmarks, before any scan starts: classify with the named instruction set
// instead of the best one; false when this processor or build has no such set.
bool use_block_classifier_isa(std::string_view name);

}  // namespace zentil
