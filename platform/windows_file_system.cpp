#include "platform/windows_file_system.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <utility>

#include "platform/system_error.h"
#include "platform/windows/system_path.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/wide_text.h"

namespace zentil {
namespace {

constexpr std::wstring_view kTempMarker = L".zentil-";
constexpr std::size_t kTempRandom = 6;
// The listing looks at the run's stop request after this many entries.
constexpr unsigned kStopCheckEvery = 256;
constexpr std::string_view kNotRegular = "no es un archivo normal";
constexpr std::string_view kIsFolder = "es una carpeta";
constexpr std::string_view kNotFolder = "no es una carpeta";
constexpr std::string_view kReadOnly = "es de solo lectura";
constexpr std::string_view kOpen = "No se pudo abrir el archivo";
constexpr std::string_view kSave = "No se pudo guardar el informe";

// The part of a report's name that its temporary file's name repeats: as much as fits in one
// name beside ".", the marker and the random part, without splitting a surrogate pair.
std::wstring_view temp_stem(std::wstring_view report_name) {
  std::size_t keep = 255 - 1 - kTempMarker.size() - kTempRandom;
  if (report_name.size() <= keep) return report_name;
  if (report_name[keep - 1] >= 0xD800 && report_name[keep - 1] <= 0xDBFF) --keep;
  return report_name.substr(0, keep);
}

// Whether `name` has the shape of a temporary report of any name: ".", the report's name, the
// marker and six letters or digits. Such a file is hidden, but one that a killed run of an older
// version left behind is not.
bool is_temp_report(std::wstring_view name) {
  constexpr std::size_t kTail = kTempMarker.size() + kTempRandom;
  if (name.size() <= kTail || name[0] != L'.') return false;
  const std::wstring_view tail = name.substr(name.size() - kTail);
  return tail.starts_with(kTempMarker) &&
         std::all_of(tail.begin() + kTempMarker.size(), tail.end(), [](wchar_t c) {
           return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
         });
}

// Whether another program holds the file at `target` open without letting others delete it, as
// a spreadsheet holds the file it shows: the move that replaces the report would then fail.
bool held_by_another(const std::wstring& target) {
  const UniqueHandle probe(CreateFileW(target.c_str(), DELETE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
  return !probe.valid() && GetLastError() == ERROR_SHARING_VIOLATION;
}

Error report_in_use(const std::string& path) {
  return Error{"No se puede reemplazar el informe " + path + ": otro programa lo está usando",
               true};
}

bool same_name(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

struct FileId {
  DWORD volume = 0, high = 0, low = 0;
  bool operator==(const FileId&) const = default;
};

// What tells one folder from another, whatever the path's spelling.
std::optional<FileId> folder_id(std::wstring folder) {
  if (folder.ends_with(L'\\') && !folder.ends_with(L":\\")) folder.pop_back();
  const UniqueHandle handle(CreateFileW(
      folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!handle.valid() || !GetFileInformationByHandle(handle.get(), &info)) return std::nullopt;
  return FileId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

// The listing's pattern for a folder as typed. Its files are opened as the folder joined with
// their names, and the system trims trailing spaces and dots from a path's last part only, so
// the folder is taken as a joined path names it ("C:\kb " is no "C:\kb" then).
std::wstring listing_pattern(const std::string& folder) {
  return system_path(join_path(folder, "*"));
}

std::wstring random_part() {
  static constexpr std::wstring_view kChars = L"abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device device;
  std::wstring part;
  for (std::size_t i = 0; i < kTempRandom; ++i) part += kChars[device() % kChars.size()];
  return part;
}

class WindowsInputFile final : public InputFile {
 public:
  WindowsInputFile(UniqueHandle file, std::string path)
      : file_(std::move(file)), path_(std::move(path)) {}

  Result<std::size_t> read(std::span<char> buffer) override {
    const auto want = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), 1u << 30));
    DWORD got = 0;
    // ReadFile says FALSE on every failure; TRUE with nothing read is the end of the file.
    if (!ReadFile(file_.get(), buffer.data(), want, &got, nullptr)) {
      return file_error("No se pudo leer el archivo", path_, GetLastError());
    }
    return std::size_t{got};
  }

  Result<std::int64_t> size() override {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_.get(), &size)) {
      return file_error("No se pudo obtener el tamaño del archivo", path_, GetLastError());
    }
    return static_cast<std::int64_t>(size.QuadPart);
  }

  std::int64_t size_for_pieces() override {
    LARGE_INTEGER size;
    return GetFileSizeEx(file_.get(), &size) ? static_cast<std::int64_t>(size.QuadPart) : 0;
  }

  // On a handle opened for synchronous reads, the offset in OVERLAPPED makes a read at that
  // offset; the system takes the handle's reads one at a time.
  Result<std::size_t> read_at(std::span<char> buffer, std::int64_t offset) override {
    const auto want = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), 1u << 30));
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset));
    at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    DWORD got = 0;
    if (!ReadFile(file_.get(), buffer.data(), want, &got, &at)) {
      const DWORD error = GetLastError();
      if (error == ERROR_HANDLE_EOF) return std::size_t{0};
      return file_error("No se pudo leer el archivo", path_, error);
    }
    return std::size_t{got};
  }

 private:
  UniqueHandle file_;
  std::string path_;
};

class WindowsReportFile final : public ReportFile {
 public:
  WindowsReportFile(UniqueHandle file, std::wstring temp, std::wstring target, std::string path)
      : file_(std::move(file)),
        temp_(std::move(temp)),
        target_(std::move(target)),
        path_(std::move(path)) {}

  ~WindowsReportFile() override {
    if (committed_) return;
    file_.reset();
    DeleteFileW(temp_.c_str());
  }

  // The run hands over rows in large blocks already; they go straight to the file.
  Status write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
      DWORD written = 0;
      if (!WriteFile(file_.get(), bytes.data(), chunk, &written, nullptr)) {
        return file_error("No se pudo escribir el informe", path_, GetLastError());
      }
      if (written == 0)
        return file_error("No se pudo escribir el informe", path_, ERROR_WRITE_FAULT);
      bytes.remove_prefix(written);
    }
    return {};
  }

  Status seal() override { return file_.valid() ? close_temp() : Status{}; }

  Status commit() override {
    if (Status s = seal(); !s.ok()) return s;
    if (!MoveFileExW(temp_.c_str(), target_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      // Another program may have opened the report since the run began.
      const DWORD error = GetLastError();
      if (error == ERROR_SHARING_VIOLATION || held_by_another(target_)) return report_in_use(path_);
      return file_error(kSave, path_, error);
    }
    committed_ = true;
    return {};
  }

  Result<bool> commit_new(const std::string& path) override {
    if (Status s = seal(); !s.ok()) return s.error();
    if (!MoveFileExW(temp_.c_str(), system_path(path).c_str(), MOVEFILE_WRITE_THROUGH)) {
      const DWORD error = GetLastError();
      if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return false;
      return file_error(kSave, path, error);
    }
    committed_ = true;
    return true;
  }

 private:
  // Every byte on the disk, and the temporary file closed as an ordinary file.
  Status close_temp() {
    // A device with nothing to flush says so; any other failure is one.
    if (!FlushFileBuffers(file_.get()) && GetLastError() != ERROR_INVALID_FUNCTION) {
      return file_error(kSave, path_, GetLastError());
    }
    // Made hidden and temporary so that no listing takes it for a spec file, the report becomes
    // an ordinary file (zero times: unchanged).
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = FILE_ATTRIBUTE_ARCHIVE;
    if (!SetFileInformationByHandle(file_.get(), FileBasicInfo, &basic, sizeof basic)) {
      return file_error(kSave, path_, GetLastError());
    }
    if (!CloseHandle(file_.release())) return file_error(kSave, path_, GetLastError());
    return {};
  }

  UniqueHandle file_;
  std::wstring temp_;
  std::wstring target_;
  std::string path_;
  bool committed_ = false;
};

}  // namespace

std::optional<bool> listed_archive(unsigned long attributes) {
  if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
    return std::nullopt;
  }
  return (attributes & FILE_ATTRIBUTE_ARCHIVE) != 0;
}

bool listed_before(std::wstring_view a, std::wstring_view b) {
  const int order = CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                         static_cast<int>(b.size()), TRUE);
  return order == CSTR_EQUAL ? a < b : order == CSTR_LESS_THAN;
}

std::unique_ptr<FileSystem> make_system_file_system() {
  return std::make_unique<WindowsFileSystem>();
}

std::string join_path(std::string_view folder, std::string_view name) {
  std::string path(folder);
  // "C:" is the current folder of drive C, so "C:" and a name join with nothing between.
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/' && folder.back() != ':') {
    path += '\\';
  }
  path += name;
  return path;
}

std::string_view file_name_of(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\/:");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

Status make_folders(const std::string& path) {
  constexpr std::string_view kWhat = "No se pudo crear la carpeta";
  const std::wstring full = system_path(path);
  // The folders on the way begin after the root: "\\?\C:\" or "\\?\UNC\server\share\".
  std::size_t at = full.find(L'\\', 4);
  if (full.starts_with(LR"(\\?\UNC\)")) at = full.find(L'\\', full.find(L'\\', 8) + 1);
  while (at != std::wstring::npos && at + 1 < full.size()) {
    at = full.find(L'\\', at + 1);
    const std::wstring part = full.substr(0, at);
    if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      return file_error(kWhat, path, GetLastError());
    }
  }
  const DWORD attributes = GetFileAttributesW(full.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return file_error(kWhat, path, GetLastError());
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return file_error(kWhat, path, kNotFolder);
  return {};
}

std::string current_directory() {
  std::wstring cwd(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(cwd.size()), cwd.data());
    if (n == 0) return ".";
    const bool fits = n < cwd.size();
    cwd.resize(n);
    if (fits) break;
  }
  return to_utf8(cwd);
}

std::string default_report_path() {
  return join_path(current_directory(), "KBReport.csv");
}

Status WindowsFileSystem::check_source_folder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(folder_of(listing_pattern(path)).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      return Error{"La carpeta origen no existe: " + path};
    }
    return file_error("No se pudo abrir la carpeta origen", path, error);
  }
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return Error{"La carpeta origen no es una carpeta: " + path};
  }
  return {};
}

Result<std::vector<ListedEntry>> WindowsFileSystem::list_folder(const std::string& path,
                                                                const std::string& report_path,
                                                                const std::atomic<bool>* stop) {
  constexpr std::string_view kWhat = "No se pudo leer la carpeta origen";
  const std::wstring pattern = listing_pattern(path);
  const std::wstring folder = folder_of(pattern);
  WIN32_FIND_DATAW data;
  const UniqueFindHandle find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                               FindExSearchNameMatch, nullptr,
                                               FIND_FIRST_EX_LARGE_FETCH));
  if (!find.valid()) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return std::vector<ListedEntry>{};  // an empty root
    return file_error(kWhat, path, error);
  }

  // The report is left out only when it lies in this very folder, whatever the path spelling.
  std::wstring report_name;
  if (!report_path.empty()) {
    const std::wstring report = system_path(report_path);
    const std::optional<FileId> here = folder_id(folder);
    if (here && here == folder_id(folder_of(report))) report_name = name_of(report);
  }

  std::vector<std::pair<std::wstring, bool>> found;
  unsigned seen = 0;
  do {
    if (++seen % kStopCheckEvery == 0 && stop_requested(stop)) return stopped_error();
    const std::wstring_view name = data.cFileName;
    const std::optional<bool> archive = listed_archive(data.dwFileAttributes);
    if (!archive || is_temp_report(name)) continue;
    if (!report_name.empty() && same_name(name, report_name)) continue;
    found.emplace_back(name, *archive);
  } while (FindNextFileW(find.get(), &data));
  if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_FILES) {
    return file_error(kWhat, path, error);
  }

  std::sort(found.begin(), found.end(),
            [](const auto& a, const auto& b) { return listed_before(a.first, b.first); });
  std::vector<ListedEntry> entries;
  entries.reserve(found.size());
  for (const auto& [name, archive] : found) entries.push_back({to_utf8(name), archive});
  return entries;
}

Result<std::unique_ptr<InputFile>> WindowsFileSystem::open_input(const std::string& path) {
  // Others may go on reading, writing, renaming or deleting the file while it is scanned.
  UniqueHandle file(CreateFileW(entry_path(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) return file_error(kOpen, path, GetLastError());
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return file_error(kOpen, path, kNotRegular);
  return std::unique_ptr<InputFile>(std::make_unique<WindowsInputFile>(std::move(file), path));
}

Result<std::unique_ptr<ReportFile>> WindowsFileSystem::create_report(const std::string& path) {
  constexpr std::string_view kWhat = "No se pudo crear el informe";
  if (path.empty()) {
    return Error{"No se pudo crear el informe: falta la ruta del archivo de informe"};
  }
  if (path.back() == '\\' || path.back() == '/') return file_error(kWhat, path, kIsFolder);

  const std::wstring target = system_path(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return file_error(kWhat, path, kIsFolder);
    // The move that replaces the report would fail on a read-only one only at the very end.
    if (attributes & FILE_ATTRIBUTE_READONLY) return file_error(kWhat, path, kReadOnly);
    // So would the move of a report that another program holds: better said before the scan.
    if (held_by_another(target)) return report_in_use(path);
  }

  std::wstring prefix = folder_of(target);
  if (!prefix.ends_with(L'\\')) prefix += L'\\';
  prefix += L'.';
  prefix += temp_stem(name_of(target));
  prefix += kTempMarker;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::wstring temp = prefix + random_part();
    UniqueHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY, nullptr));
    if (file.valid()) {
      return std::unique_ptr<ReportFile>(
          std::make_unique<WindowsReportFile>(std::move(file), std::move(temp), target, path));
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS) return file_error(kWhat, path, error);
  }
  return file_error(kWhat, path, ERROR_FILE_EXISTS);
}

}  // namespace zentil
