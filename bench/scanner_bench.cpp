// The scanner alone, on invented spec text held in memory: bytes per second on one core.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "corpus_text.h"
#include "metrics/block_classifier.h"
#include "metrics/spec_scanner.h"

namespace {

using zentil::SpecScanner;

// 6.4 MB of spec text of a mix of kinds: as in corpus A, or with busy lines as in corpus D. Less
// would let the processor learn the sequence of line kinds by heart (800 KB scanned a third
// faster than any real run) and flatter branchy code.
const std::string& sample_file(bool busy) {
  static std::string texts[2];
  std::string& text = texts[busy ? 1 : 0];
  if (text.empty()) {
    zentil::bench::Rng rng(42);
    std::string one;
    // Several files one after another, so that every kind of spec appears.
    for (int i = 0; i < 64; ++i) {
      if (busy) {
        zentil::bench::busy_spec_file(rng, 100'000, one);
      } else {
        zentil::bench::spec_file(rng, 100'000, one);
      }
      text += one;
    }
  }
  return text;
}

// A whole file fed in chunks of the size of arg 0 (256 KiB, as the run feeds it, or 4 KiB); arg
// 1 picks busy lines; arg 2 has the block classifier use SSE2 even where AVX2 is there.
void BM_ScanFile(benchmark::State& state) {
  const std::string& text = sample_file(state.range(1) == 1);
  const auto chunk = static_cast<std::size_t>(state.range(0));
  const std::string best = zentil::block_classifier_isa();
  if (state.range(2) == 1 && !zentil::use_block_classifier_isa("sse2")) {
    return state.SkipWithError("no SSE2 here");
  }
  state.SetLabel(zentil::block_classifier_isa());
  SpecScanner scanner;
  for (auto _ : state) {
    scanner.begin();
    for (std::size_t at = 0; at < text.size(); at += chunk) {
      scanner.feed(std::string_view(text).substr(at, chunk));
    }
    scanner.finish();
    benchmark::DoNotOptimize(scanner.metrics());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  zentil::use_block_classifier_isa(best);
}
BENCHMARK(BM_ScanFile)
    ->Args({256 * 1024, 0, 0})
    ->Args({4096, 0, 0})
    ->Args({256 * 1024, 1, 0})
    ->Args({256 * 1024, 0, 1})
    ->Args({256 * 1024, 1, 1});

// The line classifier alone, on lines already split: in file order (arg 0), and shuffled
// (arg 1), where the kind of the next line cannot be guessed. The difference is what branch
// prediction is worth to the classifier.
void BM_ScanLines(benchmark::State& state) {
  const std::string& text = sample_file(false);
  std::vector<std::string_view> lines;
  for (std::size_t at = 0; at < text.size();) {
    const auto cr = text.find('\r', at);
    lines.emplace_back(text.data() + at, cr - at);
    at = cr + 2;
  }
  if (state.range(0) == 1) {
    zentil::bench::Rng rng(7);
    for (std::size_t i = lines.size() - 1; i > 0; --i) {
      std::swap(lines[i], lines[rng.next() % (i + 1)]);
    }
  }
  SpecScanner scanner;
  for (auto _ : state) {
    scanner.begin();
    for (const auto line : lines) scanner.scan_line(line);
    scanner.finish();
    benchmark::DoNotOptimize(scanner.metrics());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines.size()));
}
BENCHMARK(BM_ScanLines)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
