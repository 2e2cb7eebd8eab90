#include "report/scan_pool.h"

#include <algorithm>
#include <system_error>

namespace zentil {
namespace {

// One read fills this much; large reads keep the system calls per byte few.
constexpr std::size_t kReadBufferSize = 256 * 1024;

}  // namespace

FileScanner::FileScanner(const std::atomic<bool>* stop)
    : stop_(stop), buffer_(new (kPage) char[kReadBufferSize]) {}

Result<ScannedFile> FileScanner::scan(FileSystem& fs, const std::string& path) {
  if (stop_requested(stop_)) return stopped_error();
  Result<std::unique_ptr<InputFile>> file = fs.open_input(path);
  if (!file.ok()) return file.error();
  if (Status s = scan_spec_file(**file, scanner_, std::span(buffer_.get(), kReadBufferSize), stop_);
      !s.ok()) {
    return s.error();
  }
  ScannedFile scanned{scanner_.metrics(), scanner_.kind()};
  // Read after the scan: the scan is what resets the size.
  Result<std::int64_t> size = (*file)->size();
  if (!size.ok()) return size.error();
  scanned.metrics.fileSize = *size;
  return scanned;
}

ScanPool::ScanPool(FileSystem& fs, std::string folder, const std::vector<ListedEntry>& listing,
                   unsigned jobs, const std::atomic<bool>* stop, std::size_t window)
    : fs_(fs),
      folder_(std::move(folder)),
      listing_(listing),
      window_(std::max<std::size_t>(window, 1)),
      stop_(stop),
      own_(stop) {
  next_ = next_archive(0);
  const auto scanned = static_cast<std::size_t>(std::count_if(
      listing_.begin(), listing_.end(), [](const ListedEntry& e) { return e.archive; }));
  const std::size_t helpers =
      std::min<std::size_t>({std::clamp(jobs, 1u, kMaxJobs) - 1, scanned > 0 ? scanned - 1 : 0});
  if (helpers == 0) return;
  slots_.resize(window_);
  threads_.reserve(helpers);  // so that only the start of a thread can fail below
  for (std::size_t i = 0; i < helpers; ++i) {
    try {
      threads_.emplace_back(&ScanPool::work, this);
    } catch (const std::system_error&) {
      break;  // the system has no thread to spare: go on with those already there
    }
  }
}

ScanPool::~ScanPool() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  space_.notify_all();
  for (std::thread& t : threads_) t.join();
}

Result<ScannedFile> ScanPool::take(std::size_t index) {
  if (threads_.empty()) return own_.scan(fs_, join_path(folder_, listing_[index].name));

  std::unique_lock lock(mutex_);
  // Entries before this one are done with, the unscanned ones too: the window starts here.
  taken_ = index;
  Slot& slot = slots_[index % window_];
  while (!slot.ready) {
    // Rather than sleep, scan what comes next; the entry awaited is in a helper's hands.
    if (const std::optional<std::size_t> ahead = claim()) {
      lock.unlock();
      Result<ScannedFile> result = own_.scan(fs_, join_path(folder_, listing_[*ahead].name));
      lock.lock();
      store(*ahead, std::move(result));
      continue;
    }
    awaited_ = index;
    ready_.wait(lock);
    awaited_ = SIZE_MAX;
  }
  Result<ScannedFile> result =
      slot.error ? Result<ScannedFile>(std::move(*slot.error)) : Result<ScannedFile>(slot.file);
  slot.ready = false;
  slot.error.reset();
  taken_ = index + 1;
  if (idle_helpers_ > 0 && roomy()) space_.notify_all();
  return result;
}

std::optional<std::size_t> ScanPool::claim() {
  if (stopping_ || next_ >= listing_.size() || next_ >= taken_ + window_) return std::nullopt;
  const std::size_t index = next_;
  next_ = next_archive(index + 1);
  return index;
}

void ScanPool::store(std::size_t index, Result<ScannedFile>&& result) {
  Slot& slot = slots_[index % window_];
  if (result.ok()) {
    slot.file = *result;
  } else {
    slot.error = result.error();
  }
  slot.ready = true;
}

bool ScanPool::roomy() const {
  return next_ + window_ / 2 < taken_ + window_;
}

std::size_t ScanPool::next_archive(std::size_t from) const {
  while (from < listing_.size() && !listing_[from].archive) ++from;
  return from;
}

void ScanPool::work() {
  FileScanner mine(stop_);
  std::unique_lock lock(mutex_);
  for (;;) {
    const std::optional<std::size_t> index = claim();
    if (!index) {
      if (stopping_ || next_ >= listing_.size()) return;
      // Sleep until half the window is free, not just one place: waking for every file the
      // calling thread takes would cost more than the scans of small files.
      ++idle_helpers_;
      space_.wait(lock, [this] { return stopping_ || roomy(); });
      --idle_helpers_;
      continue;
    }
    lock.unlock();
    Result<ScannedFile> result = mine.scan(fs_, join_path(folder_, listing_[*index].name));
    lock.lock();
    store(*index, std::move(result));
    if (awaited_ == *index) ready_.notify_one();
  }
}

}  // namespace zentil
