#include "ui/label_pacer.h"

#include <algorithm>
#include <utility>

namespace zentil::ui {

std::optional<std::string> LabelPacer::set(std::string text, Clock::time_point now) {
  if (shown_at_ && now - *shown_at_ < kPace) {
    held_ = std::move(text);
    return std::nullopt;
  }
  held_.reset();
  shown_at_ = now;
  return text;
}

LabelPacer::Clock::duration LabelPacer::wait(Clock::time_point now) const {
  if (!shown_at_) return Clock::duration::zero();
  return std::max(Clock::duration::zero(), *shown_at_ + kPace - now);
}

std::optional<std::string> LabelPacer::release(Clock::time_point now) {
  if (!held_) return std::nullopt;
  shown_at_ = now;
  return std::exchange(held_, std::nullopt);
}

}  // namespace zentil::ui
