// A file system that lists, opens and reads through the system's, but holds the run at a gate
// until released, so that a test can act while the run is there: in the listing (`file` empty),
// at the opening of the file whose path ends with `file` (`read` 0), or in that file's read
// number `read`. It counts the reads of that file, in a counter that outlives it (the run owns
// and destroys the file system). When `report_error` is set, creating the report fails with it.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace zentil::testing {

class GatedFileSystem final : public FileSystem {
 public:
  explicit GatedFileSystem(std::string file, int read = 0) : file_(std::move(file)), read_(read) {}
  Status check_source_folder(const std::string& path) override {
    return real_->check_source_folder(path);
  }
  Result<std::vector<ListedEntry>> list_folder(const std::string& path, const std::string& report,
                                               const std::atomic<bool>* stop) override {
    if (file_.empty()) wait_at_gate();
    return real_->list_folder(path, report, stop);
  }
  Result<std::unique_ptr<InputFile>> open_input(const std::string& path) override {
    if (file_.empty() || !path.ends_with(file_)) return real_->open_input(path);
    if (read_ == 0) wait_at_gate();
    Result<std::unique_ptr<InputFile>> file = real_->open_input(path);
    if (!file.ok()) return file;
    return std::unique_ptr<InputFile>(std::make_unique<Gated>(*this, std::move(*file)));
  }
  Result<std::unique_ptr<ReportFile>> create_report(const std::string& path) override {
    if (report_error) return *report_error;
    return real_->create_report(path);
  }

  // Whether the run came to the gate (within 20 s).
  bool wait_reached() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(20), [&] { return reached_; });
  }
  void release() {
    std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  std::shared_ptr<const std::atomic<int>> reads() const { return reads_; }
  std::optional<Error> report_error;
  // The gated file says it had this many bytes more at its open: it shrank since.
  std::int64_t shrunk_by = 0;

 private:
  class Gated final : public InputFile {
   public:
    Gated(GatedFileSystem& fs, std::unique_ptr<InputFile> file) : fs_(fs), file_(std::move(file)) {}
    Result<std::size_t> read(std::span<char> buffer) override {
      if (++*fs_.reads_ == fs_.read_) fs_.wait_at_gate();
      return file_->read(buffer);
    }
    Result<std::int64_t> size() override { return file_->size(); }
    std::int64_t size_for_pieces() override {
      const std::int64_t size = file_->size_for_pieces();
      return size > 0 ? size + fs_.shrunk_by : 0;
    }
    Result<std::size_t> read_at(std::span<char> buffer, std::int64_t offset) override {
      if (++*fs_.reads_ == fs_.read_) fs_.wait_at_gate();
      return file_->read_at(buffer, offset);
    }

   private:
    GatedFileSystem& fs_;
    std::unique_ptr<InputFile> file_;
  };

  void wait_at_gate() {
    std::unique_lock lock(mutex_);
    reached_ = true;
    changed_.notify_all();
    // A test that fails before releasing the gate ends instead of hanging.
    changed_.wait_for(lock, std::chrono::seconds(20), [&] { return open_; });
  }

  std::unique_ptr<FileSystem> real_ = make_system_file_system();
  std::string file_;
  int read_;
  std::shared_ptr<std::atomic<int>> reads_ = std::make_shared<std::atomic<int>>(0);
  std::mutex mutex_;
  std::condition_variable changed_;
  bool reached_ = false;
  bool open_ = false;
};

}  // namespace zentil::testing
