// Preloaded into zentil-report to make chosen file operations fail with EIO.
//   ZENTIL_FAULT_FILE and ZENTIL_FAULT_AT: reads of that spec file (matched by device and inode)
//     stop at byte AT. A read that spans it returns the bytes before it, as a failing disk does,
//     and the next read fails.
//   ZENTIL_FAULT_REPORT=rename: renaming the report's temporary file (a hidden name that holds
//     ".zentil-") over the report fails.
//   ZENTIL_FAULT_GONE: that file is removed as soon as the listing has ended (the folder is
//     closed); with ZENTIL_FAULT_FOLDER set, a folder takes its place.
//   ZENTIL_FAULT_INTERRUPT: a SIGINT, as from Ctrl+C, as soon as the listing has ended.
#include <dirent.h>
#include <dlfcn.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>

namespace {

template <typename Fn>
Fn next(const char* name) {
  return reinterpret_cast<Fn>(::dlsym(RTLD_NEXT, name));
}

std::string env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Whether `call` is to fail on the report's temporary file at `path`.
bool report_fault(const char* call, std::string path) {
  path = path.substr(path.rfind('/') + 1);
  return env("ZENTIL_FAULT_REPORT") == call && path.starts_with(".") &&
         path.find(".zentil-") != std::string::npos;
}

int fail() {
  errno = EIO;
  return -1;
}

}  // namespace

extern "C" {

ssize_t read(int fd, void* buffer, size_t count) {
  static const auto real = next<ssize_t (*)(int, void*, size_t)>("read");
  static struct stat target {};
  static const bool on =
      !env("ZENTIL_FAULT_AT").empty() && ::stat(env("ZENTIL_FAULT_FILE").c_str(), &target) == 0;
  struct stat st {};
  if (!on || count == 0 || ::fstat(fd, &st) != 0 || st.st_dev != target.st_dev ||
      st.st_ino != target.st_ino) {
    return real(fd, buffer, count);
  }
  const off_t at = std::stoll(env("ZENTIL_FAULT_AT"));
  const off_t offset = ::lseek(fd, 0, SEEK_CUR);
  return offset >= at ? fail()
                      : real(fd, buffer, std::min(count, static_cast<size_t>(at - offset)));
}

int rename(const char* from, const char* to) {
  static const auto real = next<int (*)(const char*, const char*)>("rename");
  return report_fault("rename", from) ? fail() : real(from, to);
}

int closedir(DIR* dir) {
  static const auto real = next<int (*)(DIR*)>("closedir");
  const std::string gone = env("ZENTIL_FAULT_GONE");
  if (!gone.empty() && ::unlink(gone.c_str()) == 0 && !env("ZENTIL_FAULT_FOLDER").empty()) {
    ::mkdir(gone.c_str(), 0755);
  }
  if (!env("ZENTIL_FAULT_INTERRUPT").empty()) ::raise(SIGINT);
  return real(dir);
}

}  // extern "C"
