#include "metrics/level_names.h"

#include <algorithm>

namespace zentil {

void LevelNames::clear() {
  counts_.clear();
  pending_.clear();
  longest_ = 0;
}

void LevelNames::capture(std::string_view name) {
  if (pending_.empty() && name.find('?') == std::string_view::npos) {
    // Nearly always: the name is the piece that comes within reach, and often one seen before.
    longest_ = std::max(longest_, name.size());
    if (const auto found = counts_.find(name); found != counts_.end()) {
      ++found->second;
    } else {
      counts_.emplace(name, 1);
    }
    return;
  }
  for (std::size_t start = 0;;) {
    const auto mark = name.find('?', start);
    pending_.emplace_back(name.substr(start, mark - start));
    longest_ = std::max(longest_, pending_.back().size());
    if (mark == std::string_view::npos) break;
    start = mark + 1;
  }
  ++counts_[std::move(pending_.front())];
  pending_.pop_front();
}

}  // namespace zentil
