#include "metrics/long_line.h"

#include <algorithm>

#include "metrics/fact_names.h"

namespace zentil {
namespace {

using namespace fact_names;

// The last `n` bytes of `tail` followed by `bytes`.
void keep_last(std::string& tail, std::string_view bytes, std::size_t n) {
  if (bytes.size() >= n) {
    tail.assign(bytes.substr(bytes.size() - n));
    return;
  }
  tail.append(bytes);
  if (tail.size() > n) tail.erase(0, tail.size() - n);
}

// An argument kept past this size lives on beyond the line in the scanner's level names only.
constexpr std::size_t kKeepCapacity = 1 << 20;

}  // namespace

void StreamSearch::consume(std::string_view bytes) {
  if (found_ || bytes.empty()) return;
  const std::size_t overlap = pattern_.size() - 1;
  // An occurrence across the seam starts in the tail and ends within the first bytes here.
  std::string seam = tail_;
  seam.append(bytes.substr(0, std::min(bytes.size(), overlap)));
  found_ = fact_text::contains(seam, pattern_) || fact_text::contains(bytes, pattern_);
  keep_last(tail_, bytes, overlap);
}

LongLine::LongLine() : command_(kCommand), title_(kTitle), rule_list_(kRuleList) {}

void LongLine::start(std::size_t longest_level_name) {
  reset();
  active_ = true;
  argument_limit_ = longest_level_name;
}

void LongLine::reset() {
  active_ = false;
  size_ = 0;
  head_.clear();
  command_.reset();
  title_.reset();
  rule_list_.reset();
  phase_ = Phase::SeekOpen;
  if (argument_.capacity() > kKeepCapacity) argument_ = std::string();
  argument_.clear();
  argument_cut_ = false;
  list_open_tail_.clear();
  commas_seen_ = 0;
  list_commas_ = -1;
}

void LongLine::consume(std::string_view bytes) {
  size_ += bytes.size();
  if (head_.size() < kHeadSize) {
    head_.append(bytes.substr(0, std::min(bytes.size(), kHeadSize - head_.size())));
  }
  command_.consume(bytes);
  title_.consume(bytes);
  rule_list_.consume(bytes);
  consume_argument(bytes);
}

void LongLine::consume_argument(std::string_view bytes) {
  while (!bytes.empty()) {
    switch (phase_) {
      case Phase::SeekOpen: {
        const auto open = bytes.find('(');
        if (open == std::string_view::npos) return;
        bytes.remove_prefix(open + 1);
        phase_ = Phase::InArgument;
        break;
      }
      case Phase::InArgument: {
        const auto comma = bytes.find(',');
        const std::string_view part = bytes.substr(0, comma);
        // A level name is captured whole; any other argument only matters while it could
        // still equal a level name.
        const bool whole = fact_text::begins_with(head_, kLevel);
        if (whole || argument_.size() + part.size() <= argument_limit_) {
          argument_.append(part);
        } else {
          argument_cut_ = true;
        }
        if (comma == std::string_view::npos) return;
        bytes.remove_prefix(comma + 1);
        phase_ = Phase::SeekList;
        break;
      }
      case Phase::SeekList: {
        // Where "',[" ends decides where the list starts, so the search is done here by hand:
        // across the seam first, then within these bytes.
        std::string seam;
        std::size_t after = std::string_view::npos;
        const std::string_view open = kListOpen.text();
        if (!list_open_tail_.empty()) {
          seam = list_open_tail_;
          seam.append(bytes.substr(0, std::min(bytes.size(), open.size() - 1)));
          if (const auto at = seam.find(open); at != std::string::npos) {
            after = at + open.size() - list_open_tail_.size();
          }
        }
        if (after == std::string_view::npos) {
          if (const auto at = bytes.find(open); at != std::string_view::npos) {
            after = at + open.size();
          }
        }
        if (after == std::string_view::npos) {
          keep_last(list_open_tail_, bytes, open.size() - 1);
          return;
        }
        bytes.remove_prefix(after);
        phase_ = Phase::InList;
        commas_seen_ = 1;  // the "," of "',[" opens the list text
        break;
      }
      case Phase::InList: {
        const auto close = bytes.find(']');
        const std::string_view part = bytes.substr(0, close);
        commas_seen_ += std::count(part.begin(), part.end(), ',');
        if (close == std::string_view::npos) return;
        list_commas_ = commas_seen_;
        phase_ = Phase::Done;
        return;
      }
      case Phase::Done:
        return;
    }
  }
}

bool LongLine::first_argument(std::string_view& argument) const {
  if (phase_ == Phase::SeekOpen || phase_ == Phase::InArgument) return false;
  argument = argument_cut_ ? std::string_view("?") : std::string_view(argument_);
  return true;
}

}  // namespace zentil
