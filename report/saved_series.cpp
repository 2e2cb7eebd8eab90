#include "report/saved_series.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <numeric>
#include <system_error>
#include <thread>

#include "report/saved_report.h"

namespace zentil {
namespace {

constexpr std::string_view kCsv = ".csv";

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

bool ends_with_csv(std::string_view name) {
  if (name.size() <= kCsv.size()) return false;
  const std::string_view tail = name.substr(name.size() - kCsv.size());
  return std::equal(tail.begin(), tail.end(), kCsv.begin(),
                    [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b; });
}

std::string_view without_csv(std::string_view name) {
  return ends_with_csv(name) ? name.substr(0, name.size() - kCsv.size()) : name;
}

// A folder's path without the separators it may end in, so that "h" and "h/" are one folder.
std::string_view folder_text(std::string_view path) {
  while (path.size() > 1 && (path.back() == '/' || path.back() == kPathSeparator[0])) {
    path.remove_suffix(1);
  }
  return path;
}

// Whether every stem begins with `prefix` and goes on past it.
bool shared_by_all(const std::vector<std::string_view>& stems, std::string_view prefix) {
  return std::all_of(stems.begin(), stems.end(), [&](std::string_view s) {
    return s.size() > prefix.size() && s.starts_with(prefix);
  });
}

// The file layer words the failures of a folder for the spec folder; this one is the history's.
Error history_error(Error error) {
  if (const auto at = error.message.find("la carpeta origen"); at != std::string::npos) {
    error.message.replace(at, std::string_view("la carpeta origen").size(),
                          "la carpeta del historial");
  }
  return error;
}

}  // namespace

bool natural_less(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (is_digit(a[i]) && is_digit(b[j])) {
      // Two numbers: without their leading zeros, the one of fewer digits is the smaller.
      while (i + 1 < a.size() && a[i] == '0' && is_digit(a[i + 1])) ++i;
      while (j + 1 < b.size() && b[j] == '0' && is_digit(b[j + 1])) ++j;
      const std::size_t i0 = i, j0 = j;
      while (i < a.size() && is_digit(a[i])) ++i;
      while (j < b.size() && is_digit(b[j])) ++j;
      const std::string_view x = a.substr(i0, i - i0), y = b.substr(j0, j - j0);
      if (x.size() != y.size()) return x.size() < y.size();
      if (x != y) return x < y;
      continue;
    }
    if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
    ++i, ++j;
  }
  if (i < a.size() || j < b.size()) return i == a.size();
  return a < b;
}

std::vector<std::string> release_labels(const std::vector<std::string>& names,
                                        std::string_view stem) {
  std::vector<std::string_view> stems;
  for (const std::string& name : names) stems.push_back(without_csv(name));
  std::size_t cut = 0;
  if (!stem.empty() && shared_by_all(stems, std::string(stem) + "-")) {
    cut = stem.size() + 1;
  } else if (!stems.empty()) {
    const std::string_view first = stems.front();
    for (std::size_t dash = first.find('-'); dash != std::string_view::npos;
         dash = first.find('-', dash + 1)) {
      if (dash > 0 && !is_digit(first[dash - 1]) && shared_by_all(stems, first.substr(0, dash + 1)))
        cut = dash + 1;
    }
  }
  std::vector<std::string> labels;
  for (const std::string_view s : stems) labels.emplace_back(s.substr(cut));
  return labels;
}

Result<std::vector<SavedRelease>> find_releases(FileSystem& fs, const SeriesRequest& request) {
  struct Found {
    std::string path, name;
    std::size_t group;  // the origin; a folder's reports go in order of their labels
  };
  std::vector<Found> found;
  std::vector<bool> folder(request.origins.size(), false);
  for (std::size_t g = 0; g < request.origins.size(); ++g) {
    const std::string& origin = request.origins[g];
    const bool may_be_empty = !request.archive_folder.empty() &&
                              folder_text(origin) == folder_text(request.archive_folder);
    if (fs.check_source_folder(origin).ok()) {
      Result<std::vector<ListedEntry>> listing = fs.list_folder(origin, request.report, nullptr);
      if (!listing.ok()) return history_error(listing.error());
      const std::size_t before = found.size();
      for (const ListedEntry& entry : *listing) {
        const std::string path = join_path(origin, entry.name);
        if (ends_with_csv(entry.name) && path != request.replaced) {
          found.push_back({path, entry.name, g});
        }
      }
      if (found.size() == before && !may_be_empty) {
        return Error{"La carpeta del historial " + origin +
                     " no tiene ningún informe guardado (ningún archivo .csv)"};
      }
      folder[g] = true;
      continue;
    }
    Result<std::unique_ptr<InputFile>> file = fs.open_input(origin);
    if (file.ok()) {
      found.push_back({origin, std::string(file_name_of(origin)), g});
    } else if (!may_be_empty) {
      return file.error();
    }
  }

  std::vector<std::string> names;
  for (const Found& f : found) names.push_back(f.name);
  const std::vector<std::string> labels =
      release_labels(names, without_csv(file_name_of(request.report)));
  std::vector<std::size_t> order(found.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
    if (found[x].group != found[y].group) return found[x].group < found[y].group;
    return folder[found[x].group] && natural_less(labels[x], labels[y]);
  });

  std::vector<SavedRelease> releases;
  for (const std::size_t i : order) releases.push_back({found[i].path, labels[i]});
  // Two releases of one label: the later one named after the earlier, in release order.
  std::vector<std::size_t> by_label(releases.size());
  std::iota(by_label.begin(), by_label.end(), std::size_t{0});
  std::stable_sort(by_label.begin(), by_label.end(), [&](std::size_t x, std::size_t y) {
    return releases[x].label < releases[y].label;
  });
  for (std::size_t k = 1; k < by_label.size(); ++k) {
    const SavedRelease &a = releases[by_label[k - 1]], &b = releases[by_label[k]];
    if (a.label == b.label) {
      return Error{"Dos informes dan la misma etiqueta «" + a.label + "»: " + a.path + " y " +
                   b.path + "; cada versión del historial ha de tener la suya"};
    }
  }
  if (request.new_label) {
    for (const SavedRelease& r : releases) {
      if (r.label == *request.new_label) {
        return Error{"El informe nuevo lleva la etiqueta «" + r.label + "», como " + r.path +
                     "; dele otra con --label"};
      }
    }
  }
  return releases;
}

Result<SavedSeries> read_series(FileSystem& fs, const std::vector<SavedRelease>& releases,
                                bool keep_last, unsigned jobs) {
  SavedSeries series;
  series.totals.resize(releases.size());
  const std::size_t n = releases.size();
  std::atomic<std::size_t> next{0};
  std::mutex mutex;
  std::size_t failed_at = n;  // the earliest release found faulty, under the mutex
  std::optional<Error> failure;
  const auto work = [&] {
    for (std::size_t i; (i = next.fetch_add(1)) < n;) {
      {
        const std::lock_guard lock(mutex);
        if (i > failed_at) return;
      }
      Result<KbRows> rows = read_saved_report(fs, releases[i].path);
      if (!rows.ok()) {
        const std::lock_guard lock(mutex);
        if (i < failed_at) failed_at = i, failure = rows.error();
        continue;
      }
      series.totals[i] = {releases[i].label, rows->size(), rows->total()};
      if (i == 0) {
        series.first = std::move(*rows);
      } else if (keep_last && i == n - 1) {
        series.last = std::move(*rows);
      }
    }
  };
  std::vector<std::thread> helpers;
  for (unsigned t = 1; t < jobs && t < n; ++t) {
    try {
      helpers.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // fewer threads: the work is the same
    }
  }
  work();
  for (std::thread& t : helpers) t.join();
  if (failure) return *failure;
  return series;
}

KbHistory make_history(std::vector<ReleaseTotals> releases, const KbRows& first,
                       const KbRows& last) {
  KbComparison span = compare_rows(first, last);
  KbHistory history{std::move(releases), std::move(span.added), std::move(span.removed), {}, {},
                    span.unchanged};
  for (KbChange& change : span.changed) {
    (change.after > change.before ? history.grew : history.shrank).push_back(std::move(change));
  }
  return history;
}

}  // namespace zentil
