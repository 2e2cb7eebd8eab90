// zentil-floor: the least work any scan of a folder must do, the yardstick of the benchmarks.
// Lists the folder, then opens each regular file, read()s it into one reused 256 KiB buffer per
// thread up to the first short read, and closes it. Prints the number of files and bytes.
// The buffer starts a page, as zentil-report's does: the kernel's copy into a buffer that starts
// a few bytes into a page runs several times slower. OFFSET puts it that many bytes into the
// page instead: 16 is where a plain malloc'd buffer of this size starts, as this program's did
// before, to compare with runs of then.
// With --partes each file is read in THREADS equal parts instead, one part per thread with
// pread(), the threads going through the files together: the floor of a scan that cuts one
// large file between threads (with 2 threads, its two halves at once).
// Usage: zentil-floor [--partes] FOLDER [THREADS] [OFFSET]
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t kBufferSize = 256 * 1024;

struct Totals {
  std::atomic<std::size_t> next{0};
  std::atomic<unsigned long long> bytes{0};
  std::atomic<bool> failed{false};
};

// The buffer of `memory`, `offset` bytes into a page.
char* page_buffer(std::vector<char>& memory, std::size_t offset) {
  constexpr std::size_t kPage = 4096;
  const auto start = reinterpret_cast<std::uintptr_t>(memory.data());
  return memory.data() + (kPage - start % kPage) % kPage + offset % kPage;
}

void read_files(const std::string& folder, const std::vector<std::string>& names,
                std::size_t offset, Totals& totals) {
  std::vector<char> memory(kBufferSize + 2 * 4096);
  char* const buffer = page_buffer(memory, offset);
  unsigned long long bytes = 0;
  for (;;) {
    const std::size_t i = totals.next.fetch_add(1, std::memory_order_relaxed);
    if (i >= names.size()) break;
    const std::string path = folder + "/" + names[i];
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      totals.failed = true;
      continue;
    }
    for (;;) {
      const ssize_t n = ::read(fd, buffer, kBufferSize);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) totals.failed = true;
      if (n <= 0) break;
      bytes += static_cast<unsigned long long>(n);
      if (static_cast<std::size_t>(n) < kBufferSize) break;
    }
    ::close(fd);
  }
  totals.bytes += bytes;
}

// Part `part` of `parts` of every file, each opened once and shared by the threads.
void read_parts(const std::vector<int>& fds, const std::vector<long long>& sizes, int part,
                int parts, std::size_t offset, Totals& totals) {
  std::vector<char> memory(kBufferSize + 2 * 4096);
  char* const buffer = page_buffer(memory, offset);
  unsigned long long bytes = 0;
  for (std::size_t i = 0; i < fds.size(); ++i) {
    const long long from = sizes[i] * part / parts, to = sizes[i] * (part + 1) / parts;
    for (long long at = from; at < to;) {
      const auto want = static_cast<std::size_t>(std::min<long long>(kBufferSize, to - at));
      const ssize_t n = ::pread(fds[i], buffer, want, at);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) totals.failed = true;
      if (n <= 0) break;
      at += n;
      bytes += static_cast<unsigned long long>(n);
    }
  }
  totals.bytes += bytes;
}

}  // namespace

int main(int argc, char** argv) {
  const bool parts = argc > 1 && std::string_view(argv[1]) == "--partes";
  if (parts) --argc, ++argv;
  if (argc < 2) {
    std::fprintf(stderr, "Uso: zentil-floor [--partes] CARPETA [HILOS] [DESPLAZAMIENTO]\n");
    return 2;
  }
  const std::string folder = argv[1];
  const int threads = argc > 2 ? std::atoi(argv[2]) : 1;
  const int offset = argc > 3 ? std::atoi(argv[3]) : 0;
  if (threads < 1 || offset < 0) return 2;

  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) {
    std::fprintf(stderr, "zentil-floor: %s: %s\n", folder.c_str(), std::strerror(errno));
    return 1;
  }
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_type == DT_REG && entry->d_name[0] != '.') names.emplace_back(entry->d_name);
  }
  ::closedir(dir);

  Totals totals;
  std::vector<std::thread> pool;
  if (parts) {
    std::vector<int> fds;
    std::vector<long long> sizes;
    for (const std::string& name : names) {
      const int fd = ::open((folder + "/" + name).c_str(), O_RDONLY | O_CLOEXEC);
      struct stat st {};
      if (fd < 0 || ::fstat(fd, &st) != 0) return 1;
      fds.push_back(fd);
      sizes.push_back(st.st_size);
    }
    for (int t = 1; t < threads; ++t)
      pool.emplace_back(read_parts, std::cref(fds), std::cref(sizes), t, threads,
                        static_cast<std::size_t>(offset), std::ref(totals));
    read_parts(fds, sizes, 0, threads, static_cast<std::size_t>(offset), totals);
    for (auto& t : pool) t.join();
    for (const int fd : fds) ::close(fd);
    std::printf("%zu archivos, %llu bytes\n", names.size(), totals.bytes.load());
    return totals.failed ? 1 : 0;
  }
  for (int t = 1; t < threads; ++t)
    pool.emplace_back(read_files, folder, std::cref(names), static_cast<std::size_t>(offset),
                      std::ref(totals));
  read_files(folder, names, static_cast<std::size_t>(offset), totals);
  for (auto& t : pool) t.join();

  std::printf("%zu archivos, %llu bytes\n", names.size(), totals.bytes.load());
  return totals.failed ? 1 : 0;
}
