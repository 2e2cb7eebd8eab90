// A line too long to hold, measured as its bytes stream past: only what the rules ask of a
// line is kept (its length, its first bytes, whether it holds the three searched texts, and its
// first argument with the attribute list after it).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "metrics/fact_text.h"

namespace zentil {

// Finds a pattern in text that arrives in pieces, across the seams between them.
class StreamSearch {
 public:
  explicit StreamSearch(const fact_text::Pattern& pattern) : pattern_(pattern) {}
  void reset() {
    found_ = false;
    tail_.clear();
  }
  void consume(std::string_view bytes);
  bool found() const { return found_; }

 private:
  const fact_text::Pattern& pattern_;
  bool found_ = false;
  std::string tail_;  // the last pattern size - 1 bytes seen
};

class LongLine {
 public:
  // The first bytes kept: enough for every fact name the rules test.
  static constexpr std::size_t kHeadSize = 32;

  LongLine();

  // Starts a line. A first argument longer than `longest_level_name` can equal no level name, so
  // no more of it is kept, unless the line is a level line whose name is to be captured.
  void start(std::size_t longest_level_name);
  void consume(std::string_view bytes);
  void reset();
  bool active() const { return active_; }

  // What the rules ask of the whole line.
  std::uint64_t size() const { return size_; }
  std::string_view head() const { return head_; }
  // Whether the line holds "cmd,", ",rule([" or "title([])" anywhere.
  bool holds_command() const { return command_.found(); }
  bool holds_rule_list() const { return rule_list_.found(); }
  bool holds_title() const { return title_.found(); }
  // The text between the first "(" and the first "," after it; false when either is missing.
  // A name cut short for its length comes back as "?", which no level name equals.
  bool first_argument(std::string_view& argument) const;
  // Whether that argument was cut short.
  bool argument_cut() const { return argument_cut_; }
  // The commas of the attribute list after the first argument (the "," of "',[" included, up
  // to the first "]"), or -1 when there is no such list.
  std::int64_t list_commas() const { return list_commas_; }

 private:
  enum class Phase { SeekOpen, InArgument, SeekList, InList, Done };

  void consume_argument(std::string_view bytes);

  bool active_ = false;
  std::uint64_t size_ = 0;
  std::string head_;
  StreamSearch command_, title_, rule_list_;

  Phase phase_ = Phase::SeekOpen;
  std::string argument_;
  std::size_t argument_limit_ = 0;
  bool argument_cut_ = false;
  std::string list_open_tail_;     // the last two bytes seen while "',[" is sought
  std::int64_t commas_seen_ = 0;   // in the list so far
  std::int64_t list_commas_ = -1;  // once the list is closed
};

}  // namespace zentil
