// A file system that opens the files a run reads through the system's, but holds the one whose
// path ends with `gate` until released, so that a test can act while the run is on it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace zentil::testing {

class GatedFileSystem final : public FileSystem {
 public:
  explicit GatedFileSystem(std::string gate) : gate_(std::move(gate)) {}
  Status check_source_folder(const std::string& path) override {
    return real_->check_source_folder(path);
  }
  Result<std::vector<ListedEntry>> list_folder(const std::string& path,
                                               const std::string& report) override {
    return real_->list_folder(path, report);
  }
  Result<std::unique_ptr<InputFile>> open_input(const std::string& path) override {
    if (path.ends_with(gate_)) {
      std::unique_lock lock(mutex_);
      reached_ = true;
      changed_.notify_all();
      // A test that fails before releasing the gate ends instead of hanging.
      changed_.wait_for(lock, std::chrono::seconds(20), [&] { return open_; });
    }
    return real_->open_input(path);
  }
  Result<std::unique_ptr<ReportFile>> create_report(const std::string& path) override {
    return real_->create_report(path);
  }

  // Returns once the run waits at the gate.
  void wait_reached() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return reached_; });
  }
  void release() {
    std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }

 private:
  std::unique_ptr<FileSystem> real_ = make_system_file_system();
  std::string gate_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool reached_ = false;
  bool open_ = false;
};

}  // namespace zentil::testing
