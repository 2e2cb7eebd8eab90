// The level names a transaction spec has captured, as its table lines compare with them.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zentil {

// The names are kept as one "?"-joined text and split at every "?" when tables are matched, so
// a "?" inside a name splits it and pushes later names out of reach: a table compares with the
// first N pieces, N the names captured so far. Kept here exactly, with the pieces in reach
// counted by their text.
class LevelNames {
 public:
  void clear();
  // Captures one more name: its pieces are added, and one more piece comes within reach.
  void capture(std::string_view name);
  // How many pieces within reach equal `table`, letter case included.
  std::int64_t count(std::string_view table) const {
    const auto found = counts_.find(table);
    return found == counts_.end() ? 0 : found->second;
  }
  // No piece, in reach or not, is longer than this.
  std::size_t longest() const { return longest_; }

 private:
  struct TransparentHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };

  std::unordered_map<std::string, std::int64_t, TransparentHash, std::equal_to<>> counts_;
  std::deque<std::string> pending_;  // pieces split off beyond reach, in order
  std::size_t longest_ = 0;
};

}  // namespace zentil
