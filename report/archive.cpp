#include "report/archive.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <memory>

namespace zentil {
namespace {

constexpr std::string_view kForbidden = "<>:\"/\\|?*";

std::string stem_of(std::string_view report_path) {
  std::string_view name = file_name_of(report_path);
  if (name.size() > 4) {
    std::string tail(name.substr(name.size() - 4));
    for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (tail == ".csv") name.remove_suffix(4);
  }
  return std::string(name);
}

// The highest "-N" of a day's copies in `listing` (a copy with none counts as 1), or 0.
std::size_t highest_copy(const std::vector<ListedEntry>& listing, std::string_view dated) {
  std::size_t highest = 0;
  for (const ListedEntry& entry : listing) {
    std::string_view name = entry.name;
    if (!name.starts_with(dated) || !name.ends_with(".csv")) continue;
    name = name.substr(dated.size(), name.size() - dated.size() - 4);
    std::size_t copy = 1;
    if (!name.empty()) {
      if (name[0] != '-' || name.size() > 10) continue;
      const auto [end, error] = std::from_chars(name.data() + 1, name.data() + name.size(), copy);
      if (error != std::errc{} || end != name.data() + name.size()) continue;
    }
    highest = std::max(highest, copy);
  }
  return highest;
}

Status copy_file(FileSystem& fs, const std::string& from, ReportFile& to) {
  Result<std::unique_ptr<InputFile>> in = fs.open_input(from);
  if (!in.ok()) return in.error();
  std::string buffer(256 * 1024, '\0');
  for (;;) {
    Result<std::size_t> n = (*in)->read(buffer);
    if (!n.ok()) return n.error();
    if (*n == 0) return {};
    if (Status s = to.write(std::string_view(buffer.data(), *n)); !s.ok()) return s;
  }
}

}  // namespace

std::optional<std::string> label_fault(std::string_view label) {
  for (const char c : label) {
    if (static_cast<unsigned char>(c) < 0x20) return std::string("un carácter de control");
    if (kForbidden.find(c) != std::string_view::npos) return "«" + std::string(1, c) + "»";
  }
  return std::nullopt;
}

std::string today_label() {
  const std::time_t now = std::time(nullptr);
  // Called once, before any other thread could call it too.
  const std::tm* local = std::localtime(&now);  // NOLINT(concurrency-mt-unsafe)
  char text[16] = "";
  if (local != nullptr) std::strftime(text, sizeof text, "%Y-%m-%d", local);
  return text;
}

std::string archive_name(std::string_view report_path, std::string_view label) {
  return stem_of(report_path) + "-" + std::string(label) + ".csv";
}

Result<std::string> archive_report(FileSystem& fs, const std::string& report_path,
                                   const std::string& folder, const std::string& label,
                                   bool dated) {
  if (Status s = make_folders(folder); !s.ok()) return s.error();
  const std::string dated_stem = stem_of(report_path) + "-" + label;
  std::size_t copy = 1;
  if (dated) {
    Result<std::vector<ListedEntry>> listing = fs.list_folder(folder, "", nullptr);
    if (listing.ok()) copy = highest_copy(*listing, dated_stem) + 1;
  }
  const auto path_of = [&](std::size_t n) {
    return join_path(folder, dated_stem + (n > 1 ? "-" + std::to_string(n) : "") + ".csv");
  };
  Result<std::unique_ptr<ReportFile>> out = fs.create_report(path_of(copy));
  if (!out.ok()) return out.error();
  if (Status s = copy_file(fs, report_path, **out); !s.ok()) return s.error();
  if (!dated) {
    if (Status s = (*out)->commit(); !s.ok()) return s.error();
    return path_of(copy);
  }
  // Another run may take the name first: then the next one.
  for (const std::size_t last = copy + 1000; copy < last; ++copy) {
    Result<bool> saved = (*out)->commit_new(path_of(copy));
    if (!saved.ok()) return saved.error();
    if (*saved) return path_of(copy);
  }
  return Error{"No se pudo guardar el informe " + path_of(copy) +
               ": hay demasiadas copias del día"};
}

}  // namespace zentil
