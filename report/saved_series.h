// A KB's releases as saved reports: found in folders or named one by one, labelled, put in
// order, and read for what a history shows of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "report/kb_rows.h"

namespace zentil {

// Whether label `a` comes before `b` in natural order: runs of digits compare as numbers ("1.9"
// before "1.10", "v2" before "v10"), any other byte as a byte, and a label before any longer one
// it begins. Labels that compare equal so ("01" and "1") go by their bytes.
bool natural_less(std::string_view a, std::string_view b);

// The label of each file name (no folder part): the name without ".csv" and, when every name
// begins with the same "<name>-", without that. `stem` (a report's name without ".csv"), when
// every name begins with it and "-", is that beginning; otherwise it is the longest one that no
// label is left empty by and whose "-" follows no digit, as in "KBReport-2026-12-07.csv"
// ("2026-12-07", not "07").
std::vector<std::string> release_labels(const std::vector<std::string>& names,
                                        std::string_view stem = {});

struct SavedRelease {
  std::string path;
  std::string label;
};

// What a series is looked for in, and what else it must agree with.
struct SeriesRequest {
  // Folders (every "*.csv" in it, in natural order of labels) or report files, in this order.
  std::vector<std::string> origins;
  std::string report;  // the report a scan writes (left out of its folder's listing), or empty
  // The label of the scan's release, which no saved one may share; none without a scan.
  std::optional<std::string> new_label;
  // A saved report this command replaces, left out (its label may be the scan's); or empty.
  std::string replaced;
  // The folder the scan's report is archived in, or empty: as an origin it may hold no report
  // yet, or not be there at all, as the archive starts the history there.
  std::string archive_folder;
};

// The releases in order, or what is wrong with them: an origin that is neither a folder nor a
// file, a folder with no report, two releases of one label.
Result<std::vector<SavedRelease>> find_releases(FileSystem& fs, const SeriesRequest& request);

// One release as its totals.
struct ReleaseTotals {
  std::string label;
  std::size_t rows = 0;
  std::int64_t lines = 0;
};

// What the history keeps of a series once read: each release's totals, and only the rows of the
// first and (when asked for) the last, so memory does not grow with the releases.
struct SavedSeries {
  std::vector<ReleaseTotals> totals;
  KbRows first;
  KbRows last;  // when asked for and there are two releases or more; else the first's are it
};

// Reads and checks every report (as read_saved_report() does), on `jobs` threads; the first
// fault in release order is the one returned.
Result<SavedSeries> read_series(FileSystem& fs, const std::vector<SavedRelease>& releases,
                                bool keep_last, unsigned jobs = 2);

// A KB across its releases: the totals of each, in order, and what changed from the first to the
// last, each list in the order of a comparison (largest change first).
struct KbHistory {
  std::vector<ReleaseTotals> releases;
  std::vector<KbRow> added, removed;
  std::vector<KbChange> grew, shrank;
  std::size_t unchanged = 0;
};

// The history of `releases` (at least one), whose first has the rows `first` and last `last`.
KbHistory make_history(std::vector<ReleaseTotals> releases, const KbRows& first,
                       const KbRows& last);

}  // namespace zentil
