#include "metrics/block_classifier.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string_view>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZENTIL_X86 1
#endif

#include "metrics/fact_names.h"

namespace zentil {
namespace {

using fact_text::Pattern;
using Seam = BlockClassifier::Seam;
constexpr std::size_t kBlock = BlockClassifier::kBlockSize;

// Where in each searched text the byte that its mask marks stands: "cmd," at its ",",
// ",rule([" and "title([])" at their "[", the same place in both.
constexpr std::size_t kCommandMark = fact_names::kCommand.text().find(',');
constexpr std::size_t kBracketMark = fact_names::kRuleList.text().find('[');
static_assert(kCommandMark == 3 && kBracketMark == 6 &&
                  fact_names::kTitle.text().find('[') == kBracketMark,
              "the candidates and confirm() follow these places");

constexpr unsigned char kFold = 0x20;  // OR-ed into a letter, gives its lower case

// One block's masks from its byte masks and the seam with the block before it. The candidates
// of both ",rule([" and "title([])" are the "[" after a "(".
[[gnu::always_inline]] inline BlockMasks candidates(std::uint64_t cr, std::uint64_t comma,
                                                    std::uint64_t letter_d, std::uint64_t open,
                                                    std::uint64_t bracket, Seam& seam) {
  const std::uint64_t brackets = bracket & (open << 1 | seam.open >> 63);
  const BlockMasks masks{cr, comma & (letter_d << 1 | seam.letter_d >> 63), brackets, brackets};
  seam = {letter_d, open};
  return masks;
}

// The candidate masks of `blocks` whole blocks from `p`, one function per instruction set.
using ClassifyFunction = void (*)(const char* p, std::size_t blocks, Seam& seam, BlockMasks* out);

void classify_portable(const char* p, std::size_t blocks, Seam& seam, BlockMasks* out) {
  for (std::size_t k = 0; k < blocks; ++k, p += kBlock) {
    std::uint64_t cr = 0, comma = 0, letter_d = 0, open = 0, bracket = 0;
    for (std::size_t i = 0; i < kBlock; ++i) {
      const auto c = static_cast<unsigned char>(p[i]);
      const std::uint64_t bit = std::uint64_t{1} << i;
      cr |= c == '\r' ? bit : 0;
      comma |= c == ',' ? bit : 0;
      letter_d |= (c | kFold) == 'd' ? bit : 0;
      open |= c == '(' ? bit : 0;
      bracket |= c == '[' ? bit : 0;
    }
    out[k] = candidates(cr, comma, letter_d, open, bracket, seam);
  }
}

#if defined(ZENTIL_X86)
// The 64 bytes at `p` as four vectors, and as lower case where they are letters.
struct Block128 {
  __m128i v0, v1, v2, v3;
};

[[gnu::always_inline]] inline Block128 load_block(const char* p) {
  const auto at = [p](int i) { return reinterpret_cast<const __m128i*>(p + 16 * i); };
  return {_mm_loadu_si128(at(0)), _mm_loadu_si128(at(1)), _mm_loadu_si128(at(2)),
          _mm_loadu_si128(at(3))};
}

// Bit i set where byte i of the block equals the byte in `x`.
[[gnu::always_inline]] inline std::uint64_t equal_mask(const Block128& b, __m128i x) {
  const auto part = [x](__m128i v) {
    return std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, x)))};
  };
  return part(b.v0) | part(b.v1) << 16 | part(b.v2) << 32 | part(b.v3) << 48;
}

void classify_sse2(const char* p, std::size_t blocks, Seam& seam_io, BlockMasks* out) {
  const auto byte = [](char c) { return _mm_set1_epi8(c); };
  const __m128i fold = byte(static_cast<char>(kFold));
  Seam seam = seam_io;
  for (std::size_t k = 0; k < blocks; ++k, p += kBlock) {
    const Block128 b = load_block(p);
    const Block128 folded{_mm_or_si128(b.v0, fold), _mm_or_si128(b.v1, fold),
                          _mm_or_si128(b.v2, fold), _mm_or_si128(b.v3, fold)};
    out[k] = candidates(equal_mask(b, byte('\r')), equal_mask(b, byte(',')),
                        equal_mask(folded, byte('d')), equal_mask(b, byte('(')),
                        equal_mask(b, byte('[')), seam);
  }
  seam_io = seam;
}

// Bit i set where byte i of the two vectors equals the byte in `x`.
[[gnu::target("avx2"), gnu::always_inline]] inline std::uint64_t equal_mask(__m256i low,
                                                                            __m256i high,
                                                                            __m256i x) {
  const auto a = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, x)));
  const auto b = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, x)));
  return std::uint64_t{a} | std::uint64_t{b} << 32;
}

[[gnu::target("avx2")]] void classify_avx2(const char* p, std::size_t blocks, Seam& seam_io,
                                           BlockMasks* out) {
  const __m256i fold = _mm256_set1_epi8(static_cast<char>(kFold));
  Seam seam = seam_io;
  for (std::size_t k = 0; k < blocks; ++k, p += kBlock) {
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
    const __m256i low_folded = _mm256_or_si256(low, fold);
    const __m256i high_folded = _mm256_or_si256(high, fold);
    out[k] = candidates(equal_mask(low, high, _mm256_set1_epi8('\r')),
                        equal_mask(low, high, _mm256_set1_epi8(',')),
                        equal_mask(low_folded, high_folded, _mm256_set1_epi8('d')),
                        equal_mask(low, high, _mm256_set1_epi8('(')),
                        equal_mask(low, high, _mm256_set1_epi8('[')), seam);
  }
  seam_io = seam;
}
#endif

struct Isa {
  const char* name;
  ClassifyFunction classify;
};

constexpr Isa kPortable{"portable", classify_portable};

Isa best_isa() {
#if defined(ZENTIL_X86)
  __builtin_cpu_init();  // this may run before the constructor that would call it
  if (__builtin_cpu_supports("avx2")) return {"avx2", classify_avx2};
  return {"sse2", classify_sse2};
#else
  return kPortable;
#endif
}

Isa isa = best_isa();

}  // namespace

BlockClassifier::BlockClassifier(const char* begin, const char* end)
    : begin_(begin), end_(end), at_(begin) {}

std::size_t BlockClassifier::next(std::span<BlockMasks> out) {
  const auto left = static_cast<std::size_t>(end_ - at_);
  const std::size_t whole = std::min(out.size(), left / kBlock);
  isa.classify(at_, whole, seam_, out.data());
  std::size_t count = whole;
  if (count < out.size() && whole * kBlock < left) {
    // The short last block, padded with bytes that are none of those looked for.
    char padded[kBlock] = {};
    std::memcpy(padded, at_ + whole * kBlock, left - whole * kBlock);
    isa.classify(padded, 1, seam_, &out[count++]);
  }
  for (std::size_t k = 0; k < count; ++k) {
    BlockMasks& masks = out[k];
    if ((masks.command | masks.rule_list) != 0) confirm(masks, masks.rule_list, at_ + k * kBlock);
  }
  at_ += std::min(left, count * kBlock);
  return count;
}

void BlockClassifier::confirm(BlockMasks& masks, std::uint64_t brackets, const char* block) const {
  const auto size = static_cast<std::size_t>(end_ - begin_);
  const auto base = static_cast<std::size_t>(block - begin_);
  // Whether `text` stands at offset `from`, wholly within the text (an offset "below 0" wraps
  // to a huge one). Nearly always sixteen bytes are there to compare as two words at once.
  const auto stands = [&](std::size_t from, const Pattern& text) -> std::uint64_t {
    if (from <= size && size - from >= 16) return text.starts_at(begin_ + from) ? 1 : 0;
    return from <= size && size - from >= text.size() &&
                   text.starts(std::string_view(begin_ + from, text.size()))
               ? 1
               : 0;
  };
  std::uint64_t command = 0, rule_list = 0, title = 0;
  for (std::uint64_t c = masks.command; c != 0; c &= c - 1) {
    const int i = std::countr_zero(c);
    command |= stands(base + static_cast<std::size_t>(i) - kCommandMark, fact_names::kCommand) << i;
  }
  for (std::uint64_t c = brackets; c != 0; c &= c - 1) {
    const int i = std::countr_zero(c);
    const std::size_t from = base + static_cast<std::size_t>(i) - kBracketMark;
    rule_list |= stands(from, fact_names::kRuleList) << i;
    title |= stands(from, fact_names::kTitle) << i;
  }
  masks.command = command;
  masks.rule_list = rule_list;
  masks.title = title;
}

const char* block_classifier_isa() {
  return isa.name;
}

bool use_block_classifier_isa(std::string_view name) {
  Isa wanted = kPortable;
#if defined(ZENTIL_X86)
  if (name == "sse2") wanted = {"sse2", classify_sse2};
  if (name == "avx2") {
    if (!__builtin_cpu_supports("avx2")) return false;
    wanted = {"avx2", classify_avx2};
  }
#endif
  if (name != wanted.name) return false;
  isa = wanted;
  return true;
}

}  // namespace zentil
