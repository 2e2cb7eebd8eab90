// The invented spec text of the benchmarks: the same bytes on every machine (fixed seed, own
// random generator and own distributions).
#pragma once

#include <cstdint>
#include <string>

namespace zentil::bench {

// splitmix64: small, fast and the same everywhere.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : s_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A number in [lo, hi].
  int between(int lo, int hi) {
    return lo + static_cast<int>(next() % static_cast<std::uint64_t>(hi - lo + 1));
  }
  bool chance(int percent) { return between(1, 100) <= percent; }

 private:
  std::uint64_t s_;
};

// Replaces `out` with a whole spec file of about `size` bytes: a kind line, then facts of 20 to
// 200 characters, CR LF line ends; transactions have levels and tables.
void spec_file(Rng& rng, std::size_t size, std::string& out);

// Like spec_file, but the lines are about 80 characters of busy text: after each fact name a
// tail of letters, digits and the marks _,()[]' in which about one character in six is a
// comma, bracket, parenthesis or quote, so the searched texts' last bytes come often. A third
// of the files are transactions.
void busy_spec_file(Rng& rng, std::size_t size, std::string& out);

}  // namespace zentil::bench
