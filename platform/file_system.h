// The seam between the core and the operating system: listing, reading spec files and
// writing the report. The real implementations are PosixFileSystem and WindowsFileSystem, one
// per system; tests substitute their own to reach cases a platform cannot produce (entries
// without the archive attribute, read and write errors at chosen bytes).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace zentil {

// Whether the run's stop request (none when null) has been made. Work that sees it gives up and
// returns stopped_error(), which nobody shows: the run looks at its request first.
inline bool stop_requested(const std::atomic<bool>* stop) {
  return stop != nullptr && stop->load(std::memory_order_relaxed);
}
inline Error stopped_error() {
  return Error{"Detenido a petición del usuario"};
}

// One entry of a folder listing: its name (no folder part) and whether the run should scan it.
struct ListedEntry {
  std::string name;
  bool archive = true;
};

// A spec file open for sequential reading.
class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to buffer.size() bytes into buffer. Returns the count read, 0 only at the end of
  // the file; a failed read is an Error, never a short count.
  virtual Result<std::size_t> read(std::span<char> buffer) = 0;
  // The file's size in bytes as the file system reports it now. After reads that met the end of
  // the file where the size at the open said it was, that size may serve: the last read saw it.
  virtual Result<std::int64_t> size() = 0;

  // For a large file scanned in pieces on several threads: its size when it was opened, or 0
  // when it cannot be read at offsets (it is then read with read() alone).
  virtual std::int64_t size_for_pieces() { return 0; }
  // Reads up to buffer.size() bytes from `offset` on, whatever read() has read; several threads
  // may read so at once. Returns the count read, 0 only at the end of the file.
  virtual Result<std::size_t> read_at(std::span<char> /*buffer*/, std::int64_t /*offset*/) {
    return Error{"No se pudo leer el archivo: no admite lecturas por posición"};
  }
};

// The report being written. Bytes go to a temporary file beside the destination; commit()
// makes them the destination in one step. Destroying an uncommitted report removes the
// temporary file and leaves any earlier report at the destination as it was.
class ReportFile {
 public:
  virtual ~ReportFile() = default;
  virtual Status write(std::string_view bytes) = 0;
  // Flushes every byte to the disk and closes the temporary file, without putting it in the
  // destination's place: commit() then only renames, so the wait on the disk can overlap other
  // work. Nothing may be written after it.
  virtual Status seal() = 0;
  // Flushes, closes and renames over the destination. After a failure nothing is left behind.
  virtual Status commit() = 0;
  // Like commit(), but to `path`, a name in the destination's folder, and never over a file that
  // is there: false when `path` is taken, and the bytes then wait for another name. After true
  // or a failure nothing more may be asked of it.
  virtual Result<bool> commit_new(const std::string& path) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Succeeds when `path` names an existing folder.
  virtual Status check_source_folder(const std::string& path) = 0;

  // The folder's spec file entries in the order the run takes them. Leaves out folders, hidden
  // entries and anything that is no regular file, and the report at `report_path` (and its
  // temporary file) when the report lies in this folder, and every temporary report, a killed
  // run's too. Every few hundred entries it looks at `stop` and, once set, gives up.
  virtual Result<std::vector<ListedEntry>> list_folder(const std::string& path,
                                                       const std::string& report_path,
                                                       const std::atomic<bool>* stop) = 0;

  // Called from several threads at once when a run scans with more than one job; each
  // InputFile is used by one thread only.
  virtual Result<std::unique_ptr<InputFile>> open_input(const std::string& path) = 0;

  // Starts a new report for `path`; nothing at `path` changes until commit().
  virtual Result<std::unique_ptr<ReportFile>> create_report(const std::string& path) = 0;
};

// The file system of the system the program runs on.
std::unique_ptr<FileSystem> make_system_file_system();

// Joins a folder and an entry name with the system's separator ("/"; "\" on Windows) unless
// the folder text already ends with a separator (on Windows "/" counts as one too).
std::string join_path(std::string_view folder, std::string_view name);

// The last part of `path`, after its last separator (on Windows "\", "/" or a drive's ":").
std::string_view file_name_of(std::string_view path);

// Makes the folder `path` and every missing folder on the way to it; succeeds when the folder is
// there already.
Status make_folders(const std::string& path);

// The separator of the system's paths.
#ifdef _WIN32
inline constexpr std::string_view kPathSeparator = "\\";
#else
inline constexpr std::string_view kPathSeparator = "/";
#endif

// The current directory as the system names it ("." when the system cannot tell).
std::string current_directory();

// "KBReport.csv" in the current directory, as the system names that directory.
std::string default_report_path();

}  // namespace zentil
