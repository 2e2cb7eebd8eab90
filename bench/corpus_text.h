// The invented spec text of the benchmarks: the same bytes on every machine (fixed seed, own
// random generator and own distributions).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// Appends about `size` bytes of the lines of a transaction spec heavy in levels and tables: in
// twentieths, level lines 3, table lines 6 (seven in ten of them named after a level captured
// before), attributes 5, attribute properties 2, and 4 of rules, table attribute properties and
// facts no rule knows; busy tails of about 80 characters, CR LF. `levels` holds the level names
// so far, across calls; one level name in a thousand holds a "?".
void level_table_lines(Rng& rng, std::size_t size, std::vector<std::string>& levels,
                       std::string& out);

}  // namespace zentil::bench
