// A RunObserver that writes down what a window or terminal would show, in order.
#pragma once

#include <string>
#include <vector>

#include "report/run_observer.h"

namespace zentil::testing {

class RecordingObserver final : public RunObserver {
 public:
  // Each event as "status:<text>", "progress:<text>" or "<kind>:<text>" with kind one of
  // notice, result, failure.
  std::vector<std::string> events;

  void status_changed(std::string_view text) override {
    events.push_back("status:" + std::string(text));
  }
  void progress_changed(std::string_view text, ProgressStage) override {
    events.push_back("progress:" + std::string(text));
  }
  void show_message(std::string_view text, MessageKind kind) override {
    const char* name = kind == MessageKind::Notice   ? "notice:"
                       : kind == MessageKind::Result ? "result:"
                                                     : "failure:";
    events.push_back(name + std::string(text));
  }
};

}  // namespace zentil::testing
