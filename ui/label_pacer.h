// How often a window shows a new text of a label the run sets. A run of small files sets the
// progress line thousands of times a second: shown and announced each time, it would keep the
// window busy and bury a screen reader under numbers nobody can hear. So a label shows a new
// text at once when its last one has stood for kPace, and otherwise holds it (a later text
// replacing it) until the pace allows; the window then shows the held text, and shows it sooner
// when something must come after it, such as a message box.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace zentil::ui {

class LabelPacer {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr Clock::duration kPace = std::chrono::milliseconds(250);

  // The label is to read `text` from `now`: returns the text to show at once, or nothing when
  // it is held; the window then calls release() once wait(now) has passed.
  std::optional<std::string> set(std::string text, Clock::time_point now);
  // How long a text held at `now` waits for its turn.
  Clock::duration wait(Clock::time_point now) const;
  // The held text, to show at `now`, or nothing when no text is held.
  std::optional<std::string> release(Clock::time_point now);

 private:
  std::optional<std::string> held_;
  std::optional<Clock::time_point> shown_at_;
};

}  // namespace zentil::ui
