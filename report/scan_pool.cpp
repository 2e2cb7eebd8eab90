#include "report/scan_pool.h"

#include <algorithm>
#include <system_error>

namespace zentil {
namespace {

// Pieces of a large file scanned ahead of the one joined next, per thread and in all: enough
// that no thread waits for a place, few enough that the level and table lines they keep for
// the join stay small.
constexpr std::size_t kPiecesAheadPerJob = 2;
constexpr std::size_t kMostPiecesAhead = 8;

}  // namespace

// One file being scanned in pieces.
struct ScanPool::Cutting {
  struct PieceSlot {
    bool ready = false;
    bool shrank = false;
    SpecPiece piece;
    std::optional<Error> error;
  };

  Cutting(InputFile& f, PieceCut c, std::size_t ahead)
      : file(f), cut(c), slots(std::min(ahead, c.count())) {}

  // Whether a piece can be handed out now.
  bool available() const {
    return !closed && claimed < cut.count() && claimed < joined + slots.size();
  }

  InputFile& file;
  const PieceCut cut;
  std::vector<PieceSlot> slots;  // piece i lives in slots[i % slots.size()]
  std::size_t claimed = 0;       // pieces handed out
  std::size_t joined = 0;        // pieces taken for the join, in order
  std::size_t busy = 0;          // pieces being scanned
  bool closed = false;           // no more pieces are handed out
};

FileScanner::FileScanner(const std::atomic<bool>* stop, ScanPool* pool)
    : stop_(stop), pool_(pool), buffer_(new (kPage) char[kReadBufferSize]) {}

Result<ScannedFile> FileScanner::scan(FileSystem& fs, const std::string& path) {
  if (stop_requested(stop_)) return stopped_error();
  Result<std::unique_ptr<InputFile>> file = fs.open_input(path);
  if (!file.ok()) return file.error();
  const std::int64_t cut_size = pool_ != nullptr ? (*file)->size_for_pieces() : 0;
  Result<ScannedFile> scanned = ScannedFile{};
  if (pool_ != nullptr && pool_->cuts(cut_size)) {
    scanned = pool_->scan_in_pieces(*this, **file, cut_size);
    if (!scanned.ok()) return scanned;
  } else {
    if (Status s = scan_spec_file(**file, scanner_, buffer(), stop_); !s.ok()) return s.error();
    scanned = ScannedFile{scanner_.metrics(), scanner_.kind()};
  }
  // Read after the scan: the scan is what resets the size.
  Result<std::int64_t> size = (*file)->size();
  if (!size.ok()) return size.error();
  scanned->metrics.fileSize = *size;
  return scanned;
}

ScanPool::ScanPool(FileSystem& fs, std::string folder, const std::vector<ListedEntry>& listing,
                   unsigned jobs, const std::atomic<bool>* stop, std::size_t window,
                   PieceSettings pieces)
    : fs_(fs),
      folder_(std::move(folder)),
      listing_(listing),
      window_(std::max<std::size_t>(window, 1)),
      stop_(stop),
      jobs_(std::clamp(jobs, 1u, kMaxJobs)),
      pieces_(pieces),
      own_(stop, jobs_ > 1 ? this : nullptr) {
  next_ = next_archive(0);
  if (jobs_ == 1) return;
  const auto scanned = static_cast<std::size_t>(std::count_if(
      listing_.begin(), listing_.end(), [](const ListedEntry& e) { return e.archive; }));
  slots_.resize(window_);
  threads_.reserve(jobs_ - 1);  // so that only the start of a thread can fail below
  // More start when a large file is cut.
  std::lock_guard lock(mutex_);
  start_helpers(std::min<std::size_t>(jobs_ - 1, scanned > 0 ? scanned - 1 : 0));
}

ScanPool::~ScanPool() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  space_.notify_all();
  pieces_done_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void ScanPool::start_helpers(std::size_t helpers) {
  while (!stopping_ && threads_.size() < helpers) {
    try {
      threads_.emplace_back(&ScanPool::work, this);
    } catch (const std::system_error&) {
      return;  // the system has no thread to spare: go on with those already there
    }
  }
}

Result<ScannedFile> ScanPool::take(std::size_t index) {
  if (jobs_ == 1) return own_.scan(fs_, join_path(folder_, listing_[index].name));

  std::unique_lock lock(mutex_);
  // Entries before this one are done with, the unscanned ones too: the window starts here.
  taken_ = index;
  Slot& slot = slots_[index % window_];
  while (!slot.ready) {
    // Rather than sleep, scan what comes next; the entry awaited is in a helper's hands.
    if (scan_next(own_, lock)) continue;
    awaited_ = index;
    ready_.wait(lock);
    awaited_ = SIZE_MAX;
  }
  Result<ScannedFile> result =
      slot.error ? Result<ScannedFile>(std::move(*slot.error)) : Result<ScannedFile>(slot.file);
  slot.ready = false;
  slot.error.reset();
  taken_ = index + 1;
  if (idle_helpers_ > 0 && next_ < listing_.size() && roomy()) space_.notify_all();
  return result;
}

bool ScanPool::scan_next(FileScanner& scanner, std::unique_lock<std::mutex>& lock) {
  if (const std::optional<PieceJob> piece = claim_piece()) {
    scan_piece(scanner, *piece, lock);
    return true;
  }
  const std::optional<std::size_t> index = claim();
  if (!index) return false;
  lock.unlock();
  Result<ScannedFile> result = scanner.scan(fs_, join_path(folder_, listing_[*index].name));
  lock.lock();
  store(*index, std::move(result));
  if (awaited_ == *index) ready_.notify_one();
  return true;
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
  FileScanner mine(stop_, this);
  std::unique_lock lock(mutex_);
  for (;;) {
    if (scan_next(mine, lock)) continue;
    if (stopping_) return;
    // Sleep until half the window is free, not just one place, or a piece waits: waking for
    // every file the calling thread takes would cost more than the scans of small files.
    ++idle_helpers_;
    space_.wait(lock, [this] {
      return stopping_ || (next_ < listing_.size() && roomy()) ||
             std::any_of(cuttings_.begin(), cuttings_.end(),
                         [](const Cutting* c) { return c->available(); });
    });
    --idle_helpers_;
  }
}

std::optional<ScanPool::PieceJob> ScanPool::claim_piece() {
  if (stopping_) return std::nullopt;
  for (Cutting* cutting : cuttings_) {
    if (cutting->available()) {
      ++cutting->busy;
      return PieceJob{cutting, cutting->claimed++};
    }
  }
  return std::nullopt;
}

void ScanPool::scan_piece(FileScanner& scanner, PieceJob job, std::unique_lock<std::mutex>& lock) {
  Cutting& cutting = *job.cutting;
  lock.unlock();
  bool shrank = false;
  Status s = scan_spec_piece(cutting.file, cutting.cut, job.index, scanner.scanner_,
                             scanner.buffer(), stop_, scanner.piece_, shrank);
  lock.lock();
  Cutting::PieceSlot& slot = cutting.slots[job.index % cutting.slots.size()];
  std::swap(slot.piece, scanner.piece_);  // which gets the buffers of an earlier piece back
  if (!s.ok()) slot.error = s.error();
  slot.shrank = shrank;
  slot.ready = true;
  --cutting.busy;
  pieces_done_.notify_all();
}

Result<ScannedFile> ScanPool::scan_in_pieces(FileScanner& owner, InputFile& file,
                                             std::int64_t size) {
  Cutting cutting(file, PieceCut{size, pieces_.piece_size},
                  std::min(kMostPiecesAhead, kPiecesAheadPerJob * jobs_));
  PieceJoin& join = owner.join_;
  join.begin();
  std::optional<Error> error;
  bool one_pass = false;  // the pieces do not fit together: the file is scanned whole

  std::unique_lock lock(mutex_);
  cuttings_.push_back(&cutting);
  start_helpers(jobs_ - 1);
  space_.notify_all();
  ready_.notify_one();
  // Joined in file order, so that a failure is the first one in the file.
  while (cutting.joined < cutting.cut.count()) {
    Cutting::PieceSlot& slot = cutting.slots[cutting.joined % cutting.slots.size()];
    if (slot.ready) {
      std::swap(slot.piece, owner.piece_);
      slot.ready = false;
      ++cutting.joined;
      if (slot.error) {
        error = std::move(slot.error);
        slot.error.reset();
        break;
      }
      if (slot.shrank || owner.piece_.argument_cut) {
        one_pass = true;
        break;
      }
      // A place is free: one more piece may be scanned ahead.
      space_.notify_all();
      ready_.notify_one();
      lock.unlock();
      join.add(owner.piece_);
      lock.lock();
      continue;
    }
    if (stopping_) {
      error = stopped_error();
      break;
    }
    if (cutting.available()) {
      ++cutting.busy;
      scan_piece(owner, {&cutting, cutting.claimed++}, lock);
      continue;
    }
    pieces_done_.wait(lock);
  }
  cutting.closed = true;
  pieces_done_.wait(lock, [&] { return cutting.busy == 0; });
  std::erase(cuttings_, &cutting);
  lock.unlock();

  if (error) return *error;
  if (one_pass) {
    // A file that shrank while it was scanned, or a table line whose name was too long to keep.
    if (Status s = scan_spec_file_at_offsets(file, owner.scanner_, owner.buffer(), stop_);
        !s.ok()) {
      return s.error();
    }
    return ScannedFile{owner.scanner_.metrics(), owner.scanner_.kind()};
  }
  join.finish();
  return ScannedFile{join.metrics(), join.kind()};
}

}  // namespace zentil
