#include "platform/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>

#include "platform/system_error.h"
#include "platform/unique_fd.h"

namespace zentil {
namespace {

constexpr std::string_view kTempMarker = ".zentil-";
// The listing looks at the run's stop request after this many entries.
constexpr unsigned kStopCheckEvery = 256;

// Closes a DIR* on destruction.
struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};
using UniqueDir = std::unique_ptr<DIR, DirCloser>;

std::string_view parent_of(std::string_view path) {
  const auto slash = path.rfind('/');
  if (slash == std::string_view::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string_view base_of(std::string_view path) {
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The part of a report's name that its temporary file's name repeats: as much as fits in one
// file name beside "." and the marker and mkstemp's six characters.
std::string_view temp_stem(std::string_view report_name) {
  constexpr std::size_t kNameMax = 255;
  return report_name.substr(0, kNameMax - 1 - kTempMarker.size() - 6);
}

mode_t process_umask() {
  // /proc gives the mask without the set-and-restore race of umask(2).
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with("Umask:"))
      return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
  }
  return 022;
}

// The first 16 bytes of a name as two numbers that compare as the bytes do (a name has no NUL,
// so the zeros after a short name order it before its longer continuations).
struct NameKey {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
  std::uint32_t index = 0;
};

NameKey name_key(std::string_view name, std::uint32_t index) {
  NameKey key{0, 0, index};
  for (std::size_t i = 0; i < 16 && i < name.size(); ++i) {
    const auto byte = static_cast<std::uint64_t>(static_cast<unsigned char>(name[i]));
    (i < 8 ? key.high : key.low) |= byte << (8 * (7 - i % 8));
  }
  return key;
}

// Sorts by name, byte by byte. Folders of spec files hold up to hundreds of thousands of
// names; sorting small keys and then moving each entry once costs a fraction of sorting the
// entries themselves.
void sort_by_name(std::vector<ListedEntry>& entries) {
  std::vector<NameKey> keys;
  keys.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    keys.push_back(name_key(entries[i].name, static_cast<std::uint32_t>(i)));
  }
  std::sort(keys.begin(), keys.end(), [&entries](const NameKey& a, const NameKey& b) {
    if (a.high != b.high) return a.high < b.high;
    if (a.low != b.low) return a.low < b.low;
    return entries[a.index].name < entries[b.index].name;
  });
  // Position k takes the entry at keys[k].index: follow each cycle of that permutation, so
  // that no second listing is held.
  for (std::size_t start = 0; start < keys.size(); ++start) {
    if (keys[start].index == start) continue;
    ListedEntry first = std::move(entries[start]);
    std::size_t k = start;
    while (keys[k].index != start) {
      const std::size_t from = keys[k].index;
      entries[k] = std::move(entries[from]);
      keys[k].index = static_cast<std::uint32_t>(k);
      k = from;
    }
    entries[k] = std::move(first);
    keys[k].index = static_cast<std::uint32_t>(k);
  }
}

class PosixInputFile final : public InputFile {
 public:
  PosixInputFile(UniqueFd fd, std::string path, std::int64_t size_at_open)
      : fd_(std::move(fd)), path_(std::move(path)), size_at_open_(size_at_open) {}

  Result<std::size_t> read(std::span<char> buffer) override {
    if (at_end_) return std::size_t{0};
    for (;;) {
      const ssize_t n = ::read(fd_.get(), buffer.data(), buffer.size());
      if (n >= 0) {
        const auto count = static_cast<std::size_t>(n);
        position_ += n;
        // A short read that reaches the size the file had when it was opened is its end: the
        // read that would return 0 is saved. A short read before that size is no end (a
        // failing disk returns what it could, then the error), so the next read asks again.
        // A file that grew since it was opened is read up to where it stood at this read. A
        // size of 0 tells nothing (files of /proc say 0 and have content): read until 0.
        if (count < buffer.size() && size_at_open_ > 0 && position_ >= size_at_open_) {
          at_end_ = true;
        }
        return count;
      }
      if (errno == EINTR) continue;
      if (errno == EAGAIN && clear_nonblocking()) continue;
      return file_error("No se pudo leer el archivo", path_, errno);
    }
  }

  std::int64_t size_for_pieces() override { return size_at_open_; }

  Result<std::size_t> read_at(std::span<char> buffer, std::int64_t offset) override {
    for (;;) {
      const ssize_t n = ::pread(fd_.get(), buffer.data(), buffer.size(), offset);
      if (n >= 0) return static_cast<std::size_t>(n);
      if (errno == EINTR) continue;
      if (errno == EAGAIN && clear_nonblocking()) continue;
      return file_error("No se pudo leer el archivo", path_, errno);
    }
  }

  Result<std::int64_t> size() override {
    // The reads ended where the size at the open said the file ends: the read that found the
    // end saw that size, after the last bytes of the scan, so asking the system again would
    // only repeat it (one system call per file fewer). Any other ending asks.
    if (at_end_ && position_ == size_at_open_) return size_at_open_;
    struct stat st {};
    if (::fstat(fd_.get(), &st) != 0) {
      return file_error("No se pudo obtener el tamaño del archivo", path_, errno);
    }
    return static_cast<std::int64_t>(st.st_size);
  }

 private:
  // Regular files ignore O_NONBLOCK, so the open leaves it set; should a file system honour it
  // after all, blocking reads are restored here.
  bool clear_nonblocking() {
    const int flags = ::fcntl(fd_.get(), F_GETFL);
    return flags >= 0 && (flags & O_NONBLOCK) != 0 &&
           ::fcntl(fd_.get(), F_SETFL, flags & ~O_NONBLOCK) == 0;
  }

  UniqueFd fd_;
  std::string path_;
  std::int64_t size_at_open_;
  std::int64_t position_ = 0;
  bool at_end_ = false;
};

class PosixReportFile final : public ReportFile {
 public:
  PosixReportFile(UniqueFd fd, std::string temp_path, std::string path)
      : fd_(std::move(fd)), temp_path_(std::move(temp_path)), path_(std::move(path)) {
    buffer_.reserve(kBufferSize);
  }

  ~PosixReportFile() override {
    if (!committed_) {
      fd_.reset();
      ::unlink(temp_path_.c_str());
    }
  }

  Status write(std::string_view bytes) override {
    if (buffer_.size() + bytes.size() > kBufferSize) {
      if (Status s = flush(); !s.ok()) return s;
      if (bytes.size() >= kBufferSize) return write_all(bytes);
    }
    buffer_.append(bytes);
    return {};
  }

  Status seal() override { return fd_.valid() ? close_temp() : Status{}; }

  Status commit() override {
    if (Status s = seal(); !s.ok()) return s;
    if (::rename(temp_path_.c_str(), path_.c_str()) != 0) return file_error(kSave, path_, errno);
    committed_ = true;
    return {};
  }

  Result<bool> commit_new(const std::string& path) override {
    if (Status s = seal(); !s.ok()) return s.error();
    if (::renameat2(AT_FDCWD, temp_path_.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) != 0) {
      if (errno == EEXIST) return false;
      if (errno != EINVAL && errno != ENOSYS) return file_error(kSave, path, errno);
      // A file system without that rename: a link fails where a file is, as the rename would.
      if (::link(temp_path_.c_str(), path.c_str()) != 0) {
        if (errno == EEXIST) return false;
        return file_error(kSave, path, errno);
      }
      ::unlink(temp_path_.c_str());
    }
    committed_ = true;
    return true;
  }

 private:
  static constexpr std::size_t kBufferSize = 64 * 1024;
  static constexpr std::string_view kSave = "No se pudo guardar el informe";

  // Every byte on the disk, and the temporary file closed.
  Status close_temp() {
    if (Status s = flush(); !s.ok()) return s;
    if (::fdatasync(fd_.get()) != 0 && errno != EINVAL && errno != EROFS) {
      return file_error(kSave, path_, errno);
    }
    if (::close(fd_.release()) != 0) return file_error(kSave, path_, errno);
    return {};
  }

  Status flush() {
    Status s = write_all(buffer_);
    buffer_.clear();
    return s;
  }

  Status write_all(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd_.get(), bytes.data(), bytes.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        return file_error("No se pudo escribir el informe", path_, errno);
      }
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
  }

  UniqueFd fd_;
  std::string temp_path_;
  std::string path_;
  std::string buffer_;
  bool committed_ = false;
};

}  // namespace

std::unique_ptr<FileSystem> make_system_file_system() {
  return std::make_unique<PosixFileSystem>();
}

std::string join_path(std::string_view folder, std::string_view name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path += folder;
  if (!folder.empty() && folder.back() != '/') path += '/';
  path += name;
  return path;
}

std::string_view file_name_of(std::string_view path) {
  return base_of(path);
}

Status make_folders(const std::string& path) {
  constexpr std::string_view kWhat = "No se pudo crear la carpeta";
  // Each folder on the way, the root's "/" and empty parts ("a//b") aside.
  for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    const std::string part = path.substr(0, end);
    if (!part.empty() && part.back() != '/' && ::mkdir(part.c_str(), 0777) != 0 &&
        errno != EEXIST) {
      return file_error(kWhat, part, errno);
    }
    if (end == std::string::npos) break;
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return file_error(kWhat, path, errno);
  if (!S_ISDIR(st.st_mode)) return file_error(kWhat, path, ENOTDIR);
  return {};
}

std::string current_directory() {
  std::string cwd(4096, '\0');
  if (::getcwd(cwd.data(), cwd.size()) == nullptr) return ".";
  cwd.resize(cwd.find('\0'));
  return cwd;
}

std::string default_report_path() {
  return join_path(current_directory(), "KBReport.csv");
}

Status PosixFileSystem::check_source_folder(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      return Error{"La carpeta origen no existe: " + path};
    }
    return file_error("No se pudo abrir la carpeta origen", path, errno);
  }
  if (!S_ISDIR(st.st_mode)) return Error{"La carpeta origen no es una carpeta: " + path};
  return {};
}

Result<std::vector<ListedEntry>> PosixFileSystem::list_folder(const std::string& path,
                                                              const std::string& report_path,
                                                              const std::atomic<bool>* stop) {
  UniqueDir dir(::opendir(path.c_str()));
  if (!dir) return file_error("No se pudo leer la carpeta origen", path, errno);
  const int dir_fd = ::dirfd(dir.get());
  listed_ = {path, UniqueFd(::fcntl(dir_fd, F_DUPFD_CLOEXEC, 0))};

  // The report is left out only when it lies in this very folder, whatever the path spelling.
  std::string_view report_name;
  struct stat here {
  }, report_dir{};
  if (::fstat(dir_fd, &here) == 0 &&
      ::stat(std::string(parent_of(report_path)).c_str(), &report_dir) == 0 &&
      here.st_dev == report_dir.st_dev && here.st_ino == report_dir.st_ino) {
    report_name = base_of(report_path);
  }

  std::vector<ListedEntry> entries;
  for (unsigned seen = 1;; ++seen) {
    if (seen % kStopCheckEvery == 0 && stop_requested(stop)) return stopped_error();
    errno = 0;
    const dirent* entry = ::readdir(dir.get());
    if (entry == nullptr) {
      if (errno != 0) return file_error("No se pudo leer la carpeta origen", path, errno);
      break;
    }
    const std::string_view name = entry->d_name;
    // Hidden, and so are the temporary reports (".KBReport.csv.zentil-" and mkostemp's six
    // letters and digits), whichever run left them.
    if (name.empty() || name[0] == '.') continue;
    if (!report_name.empty() && name == report_name) continue;
    bool regular = entry->d_type == DT_REG;
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      // A link counts as what it points to; a dangling link or a loop is left out.
      struct stat st {};
      regular = ::fstatat(dir_fd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
    }
    if (regular) entries.push_back({std::string(name), true});
  }
  sort_by_name(entries);
  return entries;
}

// The name of an entry of the listed folder when `path` names one the way join_path() does.
std::optional<std::string_view> PosixFileSystem::Listed::entry(std::string_view path) const {
  if (!dir.valid() || !path.starts_with(folder)) return std::nullopt;
  std::string_view name = path.substr(folder.size());
  if (!folder.empty() && folder.back() != '/') {
    if (!name.starts_with('/')) return std::nullopt;
    name.remove_prefix(1);
  }
  if (name.empty() || name.find('/') != std::string_view::npos) return std::nullopt;
  return name;
}

Result<std::unique_ptr<InputFile>> PosixFileSystem::open_input(const std::string& path) {
  // O_NONBLOCK: an entry swapped for a FIFO after the listing must not block the open.
  constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
  // An entry of the listed folder is opened from the folder's descriptor: the kernel walks one
  // name instead of the whole path, which on folders of small files is a good part of the open.
  const std::optional<std::string_view> name = listed_.entry(path);
  UniqueFd fd(name
                  ? ::openat(listed_.dir.get(), path.c_str() + (path.size() - name->size()), kFlags)
                  : ::open(path.c_str(), kFlags));
  if (!fd.valid()) return file_error("No se pudo abrir el archivo", path, errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return file_error("No se pudo abrir el archivo", path, errno);
  if (!S_ISREG(st.st_mode)) {
    return Error{"No se pudo abrir el archivo " + path + ": no es un archivo normal"};
  }
  return std::unique_ptr<InputFile>(
      std::make_unique<PosixInputFile>(std::move(fd), path, static_cast<std::int64_t>(st.st_size)));
}

Result<std::unique_ptr<ReportFile>> PosixFileSystem::create_report(const std::string& path) {
  constexpr std::string_view kWhat = "No se pudo crear el informe";
  if (path.empty()) {
    return Error{"No se pudo crear el informe: falta la ruta del archivo de informe"};
  }
  if (path.back() == '/') return file_error(kWhat, path, EISDIR);

  mode_t mode = 0666 & ~process_umask();
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0) {
    if (S_ISDIR(existing.st_mode)) return file_error(kWhat, path, EISDIR);
    if (!S_ISREG(existing.st_mode)) {
      return Error{std::string(kWhat) + " " + path + ": no es un archivo normal"};
    }
    // Replacing goes by rename, which would ignore a read-only report; honour it here.
    if ((existing.st_mode & 0222) == 0) return file_error(kWhat, path, EACCES);
    mode = existing.st_mode & 07777;
  }

  std::string temp = join_path(parent_of(path), ".");
  temp += temp_stem(base_of(path));
  temp += kTempMarker;
  temp += "XXXXXX";
  UniqueFd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (!fd.valid()) return file_error(kWhat, path, errno);
  ::fchmod(fd.get(), mode);
  return std::unique_ptr<ReportFile>(
      std::make_unique<PosixReportFile>(std::move(fd), std::move(temp), path));
}

}  // namespace zentil
