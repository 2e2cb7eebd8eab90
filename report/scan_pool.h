// Scans the listed spec files on several threads and hands their counts back in listing
// order, so that the run can write rows and show progress exactly as a one-by-one scan would.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "metrics/file_metrics.h"
#include "metrics/spec_pieces.h"
#include "metrics/spec_scanner.h"
#include "platform/file_system.h"

namespace zentil {

// One scanned file: its counts, with fileSize read after the scan, and the kind it declares.
struct ScannedFile {
  FileMetrics metrics;
  SpecKind kind = SpecKind::None;
};

class ScanPool;

// What one thread needs to scan files: a scanner and a read buffer, both reused file after file.
// Every scan gives up with stopped_error() once `stop` (none when null) is set: before the open
// and between two reads.
class FileScanner {
 public:
  // `pool`, when set, scans large files in pieces with all its threads.
  FileScanner(const std::atomic<bool>* stop, ScanPool* pool);
  // Opens, scans and measures the file at `path`.
  Result<ScannedFile> scan(FileSystem& fs, const std::string& path);

 private:
  friend class ScanPool;

  std::span<char> buffer() const { return {buffer_.get(), kReadBufferSize}; }

  // One read fills this much; large reads keep the system calls per byte few.
  static constexpr std::size_t kReadBufferSize = 256 * 1024;
  // The read buffer starts a page: the kernel copies into it with `rep movsb`, which runs
  // several times slower when the buffer starts a few bytes into a page (as the 16-byte header
  // of a large malloc'd block puts it), the bytes read then sitting just ahead of the file's
  // bytes in the page cache, page offset for page offset.
  static constexpr std::align_val_t kPage{4096};
  struct PageDelete {
    void operator()(char* p) const { ::operator delete[](p, kPage); }
  };

  const std::atomic<bool>* stop_;
  ScanPool* pool_;
  SpecScanner scanner_;
  std::unique_ptr<char[], PageDelete> buffer_;
  SpecPiece piece_;  // the last piece this thread scanned, or the buffers of an earlier one
  PieceJoin join_;   // of the file this thread cut
};

// The pool. The calling thread takes results one at a time with take(), in listing order, and
// scans files itself while it waits; `jobs` - 1 further threads scan ahead of it, at most
// `window` entries beyond the one it takes next, so memory does not grow with the folder. With
// one job no thread is started and take() scans the entry there and then.
//
// A large file is cut into pieces (PieceSettings), and whichever threads are free scan them,
// at most a few pieces ahead of the one joined next; the thread that opened the file joins them
// in order. With one job no file is cut.
//
// Only the calling thread calls take(); the FileSystem must allow open_input() and reads from
// several threads at once. Destroying the pool stops the threads after the file or piece each
// one is on. Once `stop` is set, every scan, on any thread, gives up at its next read with
// stopped_error().
class ScanPool {
 public:
  static constexpr std::size_t kDefaultWindow = 256;
  // More threads than this never pay on the machines the program is for; each holds a buffer.
  static constexpr unsigned kMaxJobs = 32;

  ScanPool(FileSystem& fs, std::string folder, const std::vector<ListedEntry>& listing,
           unsigned jobs, const std::atomic<bool>* stop = nullptr,
           std::size_t window = kDefaultWindow, PieceSettings pieces = {});
  ~ScanPool();
  ScanPool(const ScanPool&) = delete;
  ScanPool& operator=(const ScanPool&) = delete;

  // The counts of listing entry `index`, which must have the archive attribute and come after
  // the entry of the previous call.
  Result<ScannedFile> take(std::size_t index);

 private:
  friend class FileScanner;

  struct Slot {
    bool ready = false;
    ScannedFile file;
    std::optional<Error> error;
  };
  struct Cutting;
  struct PieceJob {
    Cutting* cutting;
    std::size_t index;
  };

  // Under the lock: scans what comes next with `scanner`, a piece of a large file first (it
  // holds up its file), else the next entry; false when the window allows nothing.
  bool scan_next(FileScanner& scanner, std::unique_lock<std::mutex>& lock);
  // Under the lock: the next entry to scan, if the window allows one.
  std::optional<std::size_t> claim();
  void store(std::size_t index, Result<ScannedFile>&& result);
  // Under the lock: whether half the window is free for the helpers.
  bool roomy() const;
  std::size_t next_archive(std::size_t from) const;
  void work();
  // Under the lock: start helpers up to `jobs` - 1 in all.
  void start_helpers(std::size_t helpers);

  // Large files (see above).
  bool cuts(std::int64_t size) const { return jobs_ > 1 && size >= pieces_.min_size; }
  Result<ScannedFile> scan_in_pieces(FileScanner& owner, InputFile& file, std::int64_t size);
  // Under the lock: a piece that a thread may take now.
  std::optional<PieceJob> claim_piece();
  // Scans the piece with `scanner`'s means, locking only to hand it over.
  void scan_piece(FileScanner& scanner, PieceJob job, std::unique_lock<std::mutex>& lock);

  FileSystem& fs_;
  const std::string folder_;
  const std::vector<ListedEntry>& listing_;
  const std::size_t window_;
  const std::atomic<bool>* const stop_;
  const unsigned jobs_;
  const PieceSettings pieces_;
  FileScanner own_;  // the calling thread's

  std::mutex mutex_;
  std::condition_variable space_;        // helpers wait here for the window to move, or for pieces
  std::condition_variable ready_;        // the calling thread waits here for its entry
  std::condition_variable pieces_done_;  // a thread that cut a file waits here for its pieces
  std::vector<Slot> slots_;              // entry i lives in slots_[i % window_]
  std::size_t next_ = 0;                 // the next entry nobody has claimed
  std::size_t taken_ = 0;                // entries before this one have been taken
  std::size_t awaited_ = SIZE_MAX;       // the entry the calling thread sleeps on
  int idle_helpers_ = 0;
  bool stopping_ = false;
  std::vector<Cutting*> cuttings_;  // the files being scanned in pieces
  std::vector<std::thread> threads_;
};

}  // namespace zentil
