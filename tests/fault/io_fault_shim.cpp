// Preloaded into a program under test to make chosen file operations fail.
// Reads of one spec file fail with EIO at a chosen byte:
//   ZENTIL_FAULT_FILE  the file (any path to it; matched by device and inode)
//   ZENTIL_FAULT_AT    the offset of the first byte that cannot be read
//   ZENTIL_FAULT_MODE  "short": a read that spans the offset returns the bytes before it and the
//                      next read fails, as the kernel reports an error in the middle of a read;
//                      "error": that read fails at once.
// Saving the report (its temporary file, a hidden name holding ".zentil-") fails:
//   ZENTIL_FAULT_REPORT  "write": the disk is full from byte ZENTIL_FAULT_AT of the report on
//                        (ENOSPC); "fdatasync", "close", "rename": that call fails with EIO.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

using ReadFn = ssize_t (*)(int, void*, size_t);
using PreadFn = ssize_t (*)(int, void*, size_t, off_t);

struct Target {
  bool active = false;
  dev_t dev = 0;
  ino_t ino = 0;
  off_t at = 0;
  bool short_first = true;
};

const Target& target() {
  static const Target t = [] {
    Target t;
    const char* file = std::getenv("ZENTIL_FAULT_FILE");
    const char* at = std::getenv("ZENTIL_FAULT_AT");
    struct stat st {};
    if (file == nullptr || at == nullptr || ::stat(file, &st) != 0) return t;
    t.active = true;
    t.dev = st.st_dev;
    t.ino = st.st_ino;
    t.at = static_cast<off_t>(std::strtoll(at, nullptr, 10));
    const char* mode = std::getenv("ZENTIL_FAULT_MODE");
    t.short_first = mode == nullptr || std::strcmp(mode, "error") != 0;
    return t;
  }();
  return t;
}

bool is_target(int fd) {
  const Target& t = target();
  struct stat st {};
  return t.active && ::fstat(fd, &st) == 0 && st.st_dev == t.dev && st.st_ino == t.ino;
}

// How many of `count` bytes at `offset` may be read: all, some (a short read), or none (-1).
ssize_t allowed(off_t offset, size_t count) {
  const Target& t = target();
  if (offset + static_cast<off_t>(count) <= t.at) return static_cast<ssize_t>(count);
  if (offset < t.at && t.short_first) return static_cast<ssize_t>(t.at - offset);
  return -1;
}

template <typename Fn>
Fn next(const char* name) {
  return reinterpret_cast<Fn>(::dlsym(RTLD_NEXT, name));
}

// Whether the report fault `what` is asked for.
bool report_fault(const char* what) {
  const char* fault = std::getenv("ZENTIL_FAULT_REPORT");
  return fault != nullptr && std::strcmp(fault, what) == 0;
}

bool is_report_temp(std::string_view path) {
  const auto slash = path.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  return name.starts_with(".") && name.find(".zentil-") != std::string_view::npos;
}

bool is_report_temp(int fd) {
  char link[64];
  char path[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = ::readlink(link, path, sizeof path);
  return n > 0 && is_report_temp(std::string_view(path, static_cast<std::size_t>(n)));
}

}  // namespace

extern "C" {

ssize_t read(int fd, void* buffer, size_t count) {
  static const ReadFn real = next<ReadFn>("read");
  if (count == 0 || !is_target(fd)) return real(fd, buffer, count);
  const ssize_t may = allowed(::lseek(fd, 0, SEEK_CUR), count);
  if (may < 0) {
    errno = EIO;
    return -1;
  }
  return real(fd, buffer, static_cast<size_t>(may));
}

ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
  static const PreadFn real = next<PreadFn>("pread");
  if (count == 0 || !is_target(fd)) return real(fd, buffer, count, offset);
  const ssize_t may = allowed(offset, count);
  if (may < 0) {
    errno = EIO;
    return -1;
  }
  return real(fd, buffer, static_cast<size_t>(may), offset);
}

ssize_t pread64(int fd, void* buffer, size_t count, off_t offset) {
  return pread(fd, buffer, count, offset);
}

ssize_t write(int fd, const void* buffer, size_t count) {
  static const auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
  if (count == 0 || !report_fault("write") || !is_report_temp(fd)) return real(fd, buffer, count);
  const char* at = std::getenv("ZENTIL_FAULT_AT");
  const off_t full = at == nullptr ? 0 : static_cast<off_t>(std::strtoll(at, nullptr, 10));
  const off_t offset = ::lseek(fd, 0, SEEK_CUR);
  if (offset >= full) {
    errno = ENOSPC;
    return -1;
  }
  const auto room = static_cast<size_t>(full - offset);
  return real(fd, buffer, count < room ? count : room);
}

int fdatasync(int fd) {
  static const auto real = next<int (*)(int)>("fdatasync");
  if (report_fault("fdatasync") && is_report_temp(fd)) {
    errno = EIO;
    return -1;
  }
  return real(fd);
}

int close(int fd) {
  static const auto real = next<int (*)(int)>("close");
  if (report_fault("close") && is_report_temp(fd)) {
    real(fd);  // Linux releases the descriptor even when close reports an error
    errno = EIO;
    return -1;
  }
  return real(fd);
}

int rename(const char* from, const char* to) {
  static const auto real = next<int (*)(const char*, const char*)>("rename");
  if (report_fault("rename") && is_report_temp(from)) {
    errno = EIO;
    return -1;
  }
  return real(from, to);
}

int renameat(int from_dir, const char* from, int to_dir, const char* to) {
  static const auto real = next<int (*)(int, const char*, int, const char*)>("renameat");
  if (report_fault("rename") && is_report_temp(from)) {
    errno = EIO;
    return -1;
  }
  return real(from_dir, from, to_dir, to);
}

}  // extern "C"
