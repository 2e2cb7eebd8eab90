// The Windows layer under its own rules: what the listing takes and in which order, names
// outside ASCII and outside the code page, paths past 260 characters, and failures.
#include "platform/windows_file_system.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "metrics/report_row.h"
#include "platform/system_error.h"
#include "platform/windows/system_path.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/wide_text.h"
#include "report/report_run.h"
#include "support.h"

namespace zentil {
namespace {

using testing::read_file;
using testing::TempDir;

constexpr std::string_view kVar = "v_i(&Variable)\r\n";
constexpr std::string_view kVarRow = ",1,16,0,0,0,0,0,0,0,0,0,1\r\n";

// A spec file of one var line, then `attributes`; through "\\?\" so that any path works.
void make_file(const std::string& path, DWORD attributes = 0) {
  const std::wstring at = entry_path(path);
  SetFileAttributesW(at.c_str(), FILE_ATTRIBUTE_NORMAL);
  const UniqueHandle file(CreateFileW(at.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, {}));
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file.get(), kVar.data(), kVar.size(), &written, nullptr)) << path;
  if (attributes != 0) {
    ASSERT_TRUE(SetFileAttributesW(at.c_str(), attributes)) << path;
  }
}

// The run's error message, or "completed".
std::string run(const std::string& source, const std::string& report) {
  struct : RunObserver {
    void status_changed(std::string_view) override {}
    void progress_changed(std::string_view, ProgressStage) override {}
    void show_message(std::string_view, MessageKind) override {}
  } observer;
  WindowsFileSystem fs;
  const RunOutcome outcome = run_report({source, report, ".", 2}, fs, observer);
  return outcome.error ? outcome.error->message : "completed";
}

TEST(WindowsPaths, JoinedTypedAndHandedToTheSystem) {
  EXPECT_EQ(join_path("C:\\kb", "a"), "C:\\kb\\a");
  EXPECT_EQ(join_path("C:/kb/", "a"), "C:/kb/a");
  EXPECT_EQ(join_path("C:", "a"), "C:a");  // drive C's current folder, as the listing reads it
  EXPECT_EQ(system_path("C:/kb/./x/../a."), LR"(\\?\C:\kb\a)");
  EXPECT_EQ(system_path(R"(\\srv\share\a)"), LR"(\\?\UNC\srv\share\a)");
  EXPECT_EQ(system_path(R"(\\.\COM1)"), LR"(\\.\COM1)");
  // A lone surrogate, which a Windows name may hold, survives the trip through UTF-8.
  const std::wstring lone = {L'a', wchar_t{0xD800}, L'z'};
  EXPECT_EQ(to_wide(to_utf8(lone)), lone);
}

// A folder past 260 characters whose own name is outside ASCII and the code page.
TEST(WindowsRun, ListsInNtfsOrderAndWritesNamesInTheCodePageAtAnyPathLength) {
  TempDir base;
  std::string folder = base / "carpeta \xC3\xB1 \xD0\x96";
  for (char part = 'a'; part < 'd'; ++part) {
    ASSERT_TRUE(CreateDirectoryW(system_path(folder).c_str(), nullptr));
    folder = join_path(folder, std::string(100, part));
  }
  ASSERT_TRUE(CreateDirectoryW(system_path(folder).c_str(), nullptr));
  // NTFS's order, which byte order would break at each "_", "\xC3\xB1" and U+1F600, the last
  // two without a character in the code page (U+FF41 not even as its look-alike "a"); "aux."
  // is a file's name, not the device AUX, and keeps its final dot.
  const std::string long_name(150, 'l');
  const std::vector<std::string> names = {
      ".dot.spc",        "A.spc",  "aux.",         "a_.spc",        long_name,
      "normal.spc",      "_x.spc", "\xC3\xB1.spc", "\xC3\x91z.spc", "\xF0\x9F\x98\x80.spc",
      "\xEF\xBD\x81.spc"};
  const std::vector<std::string> written = {".dot.spc",  "A.spc",      "aux.",   "a_.spc",
                                            long_name,   "normal.spc", "_x.spc", "\xF1.spc",
                                            "\xD1z.spc", "?.spc",      "?.spc"};
  for (const std::string& name : names) {
    make_file(join_path(folder, name), name == "normal.spc" ? FILE_ATTRIBUTE_NORMAL : 0);
  }
  make_file(join_path(folder, "hidden.spc"), FILE_ATTRIBUTE_HIDDEN);
  make_file(join_path(folder, "system.spc"), FILE_ATTRIBUTE_SYSTEM);
  ASSERT_TRUE(CreateDirectoryW(system_path(join_path(folder, "folder.spc")).c_str(), nullptr));
  make_file(join_path(folder, "KBReport.csv"));  // the report, named in other capitals below

  WindowsFileSystem fs;
  auto listing = fs.list_folder(folder, join_path(folder, "kbreport.CSV"));
  ASSERT_TRUE(listing.ok()) << listing.error().message;
  ASSERT_EQ(listing->size(), names.size());
  std::string expected(kReportHeader);
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ((*listing)[i].name, names[i]);
    // Wine reports the archive attribute always set; Windows keeps it cleared where it was.
    const DWORD bits = GetFileAttributesW(entry_path(join_path(folder, names[i])).c_str());
    EXPECT_EQ((*listing)[i].archive, (bits & FILE_ATTRIBUTE_ARCHIVE) != 0) << names[i];
    if ((*listing)[i].archive) expected += written[i] + std::string(kVarRow);
  }
  // The same folder typed with "/" and no final separator.
  std::string typed = folder;
  std::replace(typed.begin(), typed.end(), '\\', '/');
  ASSERT_EQ(run(typed, join_path(folder, "KBREPORT.CSV")), "completed");
  EXPECT_EQ(read_file(join_path(folder, "KBREPORT.CSV")), expected);
  EXPECT_GT(folder.size(), 300u);
  // So the decision itself, and names that differ in case alone (a case-sensitive folder).
  EXPECT_EQ(listed_archive(FILE_ATTRIBUTE_READONLY), false);
  EXPECT_EQ(listed_archive(FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_ARCHIVE), true);
  EXPECT_EQ(listed_archive(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT), std::nullopt);
  EXPECT_TRUE(listed_before(L"A", L"a") && !listed_before(L"a", L"A"));
}

TEST(WindowsRun, FailuresNameThePathAndTheReasonAndKeepTheEarlierReport) {
  TempDir src, out;
  for (const char* name : {"f01", "f02", "f03"}) make_file(src / name);
  const std::string report = out / "KBReport.csv";
  const std::string f02 = src / "f02", no_folder = out / "no\\r.csv";
  struct Case {
    std::string source, report, message;  // the message, or how it begins
    std::string held = {};                // held open by another program, sharing nothing
    DWORD attributes = 0;                 // of the earlier report
  };
  const std::string create = "No se pudo crear el informe ";
  const std::vector<Case> cases = {
      {src / "nope", report, "La carpeta origen no existe: " + (src / "nope")},
      // Its files would be opened there: the system trims a path's last part only.
      {src.path() + " ", report, "La carpeta origen no existe: " + src.path() + " "},
      {src.path(), no_folder, create + no_folder + ": " + system_reason(ERROR_PATH_NOT_FOUND)},
      {src.path(), out.path() + "\\", create + out.path() + "\\: es una carpeta"},
      {src.path(), report, create + report + ": es de solo lectura", "", FILE_ATTRIBUTE_READONLY},
      {src.path(), report,
       "No se pudo abrir el archivo " + f02 + ": " + system_reason(ERROR_SHARING_VIOLATION), f02},
      {src.path(), report, "No se pudo guardar el informe " + report + ": ", report},
  };
  for (const Case& c : cases) {
    make_file(report, c.attributes);
    UniqueHandle held(CreateFileW(system_path(c.held).c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    const std::string failure = run(c.source, c.report);
    held.reset();
    EXPECT_TRUE(failure.starts_with(c.message)) << failure << "\nwanted " << c.message;
    EXPECT_EQ(read_file(report), kVar) << c.message;
    const std::filesystem::directory_iterator left(testing::fs_path(out.path()));
    EXPECT_EQ(std::distance(left, {}), 1) << c.message;
  }
}

}  // namespace
}  // namespace zentil
