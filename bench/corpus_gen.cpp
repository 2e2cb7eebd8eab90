// zentil-corpus: writes the benchmark corpora, the same bytes on every machine (fixed seed, own
// random generator and own distributions).
//   A: 2,000 spec files of about 100 KB (transactions, procedures, reports)
//   B: 100,000 spec files of about 370 bytes
//   C: one spec file of 1 GiB
//   D: 2,000 spec files of about 100 KB with busy lines of about 80 characters
//   E: one spec file of 600 MiB of busy lines, D's files one after another (so its kind changes)
//   F: one transaction spec of 200 MiB, heavy in level and table lines
// Usage: zentil-corpus ROOT [A] [B] [C] [D] [E] [F]. Each corpus goes to ROOT/<letter>/;
// ROOT/<letter>.done marks a complete one, which is kept as it is.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "corpus_text.h"

namespace {

using zentil::bench::busy_spec_file;
using zentil::bench::level_table_lines;
using zentil::bench::Rng;
using zentil::bench::spec_file;

// The marker's text: a corpus written by another version of this generator is written anew.
constexpr std::string_view kVersion = "zentil-corpus 2\n";

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool write_file(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool ok = write_all(fd, bytes);
  return ::close(fd) == 0 && ok;
}

bool is_done(const std::string& marker) {
  const int fd = ::open(marker.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char text[64] = {};
  const ssize_t n = ::read(fd, text, sizeof text);
  ::close(fd);
  return n > 0 && std::string_view(text, static_cast<std::size_t>(n)) == kVersion;
}

bool make_corpus(const std::string& root, char letter) {
  const std::string dir = root + "/" + letter;
  const std::string marker = dir + ".done";
  if (is_done(marker)) {
    std::printf("corpus %c: %s (ya existe)\n", letter, dir.c_str());
    return true;
  }
  ::unlink(marker.c_str());
  if (::mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) return false;
  std::printf("corpus %c: generando %s ...\n", letter, dir.c_str());
  std::fflush(stdout);

  Rng rng(0x5EC5'0000ull + static_cast<unsigned char>(letter));
  std::string bytes;
  char name[32];
  if (letter == 'A' || letter == 'B' || letter == 'D') {
    const int count = letter == 'B' ? 100'000 : 2'000;
    for (int i = 1; i <= count; ++i) {
      // About 100 KB or 370 bytes, each file a little different.
      const std::size_t size = letter == 'B'
                                   ? static_cast<std::size_t>(rng.between(250, 370))
                                   : static_cast<std::size_t>(rng.between(90, 110)) * 1000;
      if (letter == 'D') {
        busy_spec_file(rng, size, bytes);
      } else {
        spec_file(rng, size, bytes);
      }
      std::snprintf(name, sizeof name, "/obj%06d.spc", i);
      if (!write_file(dir + name, bytes)) return false;
    }
  } else {
    // One large file, written in pieces: C a transaction-sized stream of facts, E busy spec
    // files one after another, F one transaction spec.
    const std::string path = dir + "/big.spc";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const std::size_t mib = letter == 'C' ? 1024 : letter == 'E' ? 600 : 200;
    const std::size_t total = mib << 20;
    std::vector<std::string> levels;
    std::size_t written = 0;
    while (written < total) {
      if (letter == 'C') {
        spec_file(rng, std::min<std::size_t>(4 << 20, total - written), bytes);
      } else if (letter == 'E') {
        bytes.clear();
        std::string one;
        while (bytes.size() < (4 << 20)) {
          busy_spec_file(rng, static_cast<std::size_t>(rng.between(90, 110)) * 1000, one);
          bytes += one;
        }
      } else {
        bytes = written == 0 ? "spec_i([ trn, 'Niveles', 'Transaccion de niveles' ]).\r\n" : "";
        level_table_lines(rng, 4 << 20, levels, bytes);
      }
      if (bytes.size() > total - written) bytes.resize(total - written);
      if (!write_all(fd, bytes)) {
        ::close(fd);
        return false;
      }
      written += bytes.size();
    }
    if (::close(fd) != 0) return false;
  }
  return write_file(marker, kVersion);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "Uso: zentil-corpus RAIZ [A] [B] [C] [D] [E] [F]\n");
    return 2;
  }
  const std::string root = argv[1];
  if (::mkdir(root.c_str(), 0755) != 0 && errno != EEXIST) {
    std::fprintf(stderr, "zentil-corpus: no se pudo crear %s: %s\n", root.c_str(),
                 std::strerror(errno));
    return 1;
  }
  std::string which = "ABCDEF";
  if (argc > 2) {
    which.clear();
    for (int i = 2; i < argc; ++i) which += argv[i];
  }
  for (const char letter : which) {
    if (letter < 'A' || letter > 'F') {
      std::fprintf(stderr, "zentil-corpus: corpus desconocido: %c\n", letter);
      return 2;
    }
    if (!make_corpus(root, letter)) {
      std::fprintf(stderr, "zentil-corpus: no se pudo escribir el corpus %c en %s: %s\n", letter,
                   root.c_str(), std::strerror(errno));
      return 1;
    }
  }
  return 0;
}
