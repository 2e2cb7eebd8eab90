// Windows under its own rules, under Wine, mostly through zentil-report.exe as a prompt or a
// script runs it: paths and arguments in UTF-16, the listing's order and what it leaves out,
// names in the report in the ANSI code page, paths past 260 characters, failures, and output
// redirected to files (in the ANSI code page with CR LF, as there is no console).
#include "platform/windows_file_system.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "metrics/report_row.h"
#include "platform/system_error.h"
#include "platform/windows/system_path.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/wide_text.h"
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

struct Ran {
  DWORD code = ~0ul;
  std::string out, err;
};

// Runs zentil-report.exe, which lies beside this program, in `dir` and without a console; its
// standard output and error go to files there. An argument that holds a '"' is written into the
// command line as it is, quotes and all, as a person would type it.
Ran run_exe(const std::vector<std::string>& args, const TempDir& dir) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring line = L"\"" + folder_of(self) + L"\\zentil-report.exe\"";
  for (const std::string& a : args) {
    line += a.find('"') == std::string::npos ? L" \"" + to_wide(a) + L"\"" : L" " + to_wide(a);
  }
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  UniqueHandle out(CreateFileW(to_wide(dir / "out").c_str(), GENERIC_WRITE, 0, &inherit,
                               CREATE_ALWAYS, 0, nullptr));
  UniqueHandle err(CreateFileW(to_wide(dir / "err").c_str(), GENERIC_WRITE, 0, &inherit,
                               CREATE_ALWAYS, 0, nullptr));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out.get();
  startup.hStdError = err.get();
  PROCESS_INFORMATION child{};
  Ran ran;
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                     to_wide(dir.path()).c_str(), &startup, &child)) {
    const UniqueHandle process(child.hProcess), thread(child.hThread);
    WaitForSingleObject(process.get(), INFINITE);
    GetExitCodeProcess(process.get(), &ran.code);
  }
  out.reset();
  err.reset();
  return {ran.code, read_file(dir / "out"), read_file(dir / "err")};
}

// Another program that holds `path` (when not empty) as a spreadsheet holds the file it shows,
// from its construction to its destruction: this test program again (test_main.cpp).
class Holder {
 public:
  explicit Holder(const std::string& path) {
    if (path.empty()) return;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const UniqueHandle held(CreateEventW(&inherit, TRUE, FALSE, nullptr));
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\" --hold \"" + to_wide(path) + L"\" " +
                        std::to_wstring(reinterpret_cast<std::uintptr_t>(held.get()));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                        nullptr, &startup, &child)) {
      return;
    }
    process_.reset(child.hProcess);
    CloseHandle(child.hThread);
    const HANDLE either[] = {held.get(), process_.get()};  // held, or given up
    WaitForMultipleObjects(2, either, FALSE, 20000);
  }
  ~Holder() {
    if (!process_.valid()) return;
    TerminateProcess(process_.get(), 0);
    WaitForSingleObject(process_.get(), INFINITE);
  }

 private:
  UniqueHandle process_;
};

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
      ".dot.spc",        "A.spc",         "aux.",
      "a_.spc",          long_name,       "_x.spc",
      "\xC3\xB1.spc",    "\xC3\x91z.spc", "\xF0\x9F\x98\x80.spc",
      "\xEF\xBD\x81.spc"};
  const std::vector<std::string> written = {".dot.spc", "A.spc",  "aux.",     "a_.spc",
                                            long_name,  "_x.spc", "\xF1.spc", "\xD1z.spc",
                                            "?.spc",    "?.spc"};
  for (const std::string& name : names) make_file(join_path(folder, name));
  make_file(join_path(folder, "hidden.spc"), FILE_ATTRIBUTE_HIDDEN);
  make_file(join_path(folder, "system.spc"), FILE_ATTRIBUTE_SYSTEM);
  ASSERT_TRUE(CreateDirectoryW(system_path(join_path(folder, "folder.spc")).c_str(), nullptr));
  make_file(join_path(folder, "KBReport.csv"));  // the earlier report
  // A killed run's temporary report, not hidden as an older version left it: never listed, and
  // no run but its own removes it.
  const std::string leftover = join_path(folder, ".informe.csv.zentil-k3m9q2");
  make_file(leftover);

  std::string expected(kReportHeader);
  for (const std::string& name : written) expected += name + std::string(kVarRow);
  // The same folder typed with "/" and no final separator; the report in other capitals.
  std::string typed = folder;
  std::replace(typed.begin(), typed.end(), '\\', '/');
  TempDir cwd;
  const Ran ran = run_exe({typed, join_path(folder, "KBREPORT.CSV")}, cwd);
  EXPECT_EQ(ran.out, "Cantidad de archivos procesados: 10\r\nZentil de la KB: 0.1\r\n") << ran.err;
  EXPECT_EQ(read_file(join_path(folder, "KBREPORT.CSV")), expected);
  // Written to a hidden temporary file, the report is an ordinary file.
  const DWORD attributes =
      GetFileAttributesW(system_path(join_path(folder, "KBREPORT.CSV")).c_str());
  EXPECT_EQ(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY), 0u);
  EXPECT_NE(GetFileAttributesW(entry_path(leftover).c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_GT(folder.size(), 300u);
  // The archive attribute, which Wine always reports set, and names that differ in case alone
  // (a case-sensitive folder).
  EXPECT_EQ(listed_archive(FILE_ATTRIBUTE_READONLY), false);
  EXPECT_EQ(listed_archive(FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_ARCHIVE), true);
  EXPECT_EQ(listed_archive(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT), std::nullopt);
  EXPECT_TRUE(listed_before(L"A", L"a") && !listed_before(L"a", L"A"));
}

TEST(WindowsRun, FailuresNameThePathAndTheReasonAndKeepTheEarlierReport) {
  TempDir src, out, cwd;
  for (const char* name : {"f01", "f02", "f03"}) make_file(src / name);
  const std::string report = out / "KBReport.csv";
  const std::string f02 = src / "f02", no_folder = out / "no\\r.csv";
  struct Case {
    std::string source, report, message;  // the message, or how it begins
    std::string held = {};                // held open by another program, sharing nothing
    DWORD attributes = 0;                 // of the earlier report
    std::string spreadsheet = {};         // held by another program as a spreadsheet holds it
  };
  const std::string create = "No se pudo crear el informe ";
  const std::vector<Case> cases = {
      // Its files would be opened there: the system trims a path's last part only.
      {src.path() + " ", report, "La carpeta origen no existe: " + src.path() + " "},
      {src.path(), no_folder, create + no_folder + ": " + system_reason(ERROR_PATH_NOT_FOUND)},
      {src.path(), out.path() + "/", create + out.path() + "/: es una carpeta"},
      {src.path(), report, create + report + ": es de solo lectura", "", FILE_ATTRIBUTE_READONLY},
      {src.path(), report,
       "No se pudo abrir el archivo " + f02 + ": " + system_reason(ERROR_SHARING_VIOLATION), f02},
      // Found before the scan, which would have stopped at f02. The message in the code page.
      {src.path(), report,
       "No se puede reemplazar el informe " + report +
           ": otro programa lo est\xE1 usando. Ci\xE9rrelo en ese programa y vuelva a "
           "intentarlo.\r\n",
       f02, 0, report},
  };
  for (const Case& c : cases) {
    make_file(report, c.attributes);
    UniqueHandle held(CreateFileW(system_path(c.held).c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    const Holder spreadsheet(c.spreadsheet);  // until the next case
    const Ran ran = run_exe({c.source, c.report}, cwd);
    held.reset();
    EXPECT_EQ(ran.code, 1u) << c.message;
    EXPECT_TRUE(ran.err.starts_with("zentil-report: " + c.message)) << ran.err << c.message;
    EXPECT_EQ(read_file(report), kVar) << c.message;
    const std::filesystem::directory_iterator left(testing::fs_path(out.path()));
    EXPECT_EQ(std::distance(left, {}), 1) << c.message;
  }
  // Taken by another program during a run, the report is named the same way when it cannot be
  // replaced at the end.
  WindowsFileSystem fs;
  Result<std::unique_ptr<ReportFile>> late = fs.create_report(report);
  ASSERT_TRUE(late.ok());
  const Holder spreadsheet(report);
  const Status saved = (*late)->commit();
  EXPECT_EQ(saved.ok() ? "" : saved.error().message,
            "No se puede reemplazar el informe " + report + ": otro programa lo está usando");
}

TEST(ZentilReportExe, ArgumentsOutputAndExitCodes) {
  TempDir dir;
  const std::string src = dir / "kb \xC3\xB1 \xD0\x96";  // "kb ñ Ж"
  dir.write("kb \xC3\xB1 \xD0\x96/a\xC3\xB1o.spc", "v_i(&Variable)\r\n");
  const std::string report = dir / "informe \xC3\xB1.csv";
  struct Case {
    std::vector<std::string> args;
    DWORD code;
    std::string out, err;
  };
  const std::string help = run_exe({"--help"}, dir).out;  // in the code page
  const std::string done = "Cantidad de archivos procesados: 1\r\nZentil de la KB: 0.01\r\n";
  const std::vector<Case> cases = {
      {{src, report}, 0, done, ""},
      {{"\"" + src + "\\\\\" \"" + report + "\""}, 0, done, ""},  // a final "\" doubled
      // A final "\" turns the closing quote into part of the argument, with what follows it.
      {{"\"" + src + "\\\" informe.csv"},
       2,
       "",
       "zentil-report: el argumento \xAB" + dir.path() +
           "\\kb \xF1 ?\" informe.csv\xBB tiene una comilla (\"): en Windows, una \\ justo antes "
           "de una comilla la vuelve parte del argumento.\r\nEscriba la carpeta sin la \\ final, "
           "\"C:\\Mi KB\\specs\", o con la \\ doble, \"C:\\Mi KB\\specs\\\\\".\r\n"},
      {{"/?"}, 0, help, ""},
      {{},
       2,
       "",
       "Uso: zentil-report [--quiet] [--jobs N] CARPETA [INFORME]\r\n"
       "Pruebe \xABzentil-report --help\xBB para m\xE1s informaci\xF3n.\r\n"},
      {{"", report}, 2, "", "Seleccione la carpeta origen\r\n"},
      {{src + "\\nada", report},
       1,
       "",
       "zentil-report: La carpeta origen no existe: " + dir.path() + "\\kb \xF1 ?\\nada\r\n"},
  };
  for (const Case& c : cases) {
    const Ran ran = run_exe(c.args, dir);
    EXPECT_EQ(ran.code, c.code) << c.err;
    EXPECT_EQ(ran.out, c.out);
    EXPECT_EQ(ran.err, c.err);
  }
  EXPECT_EQ(read_file(report),
            std::string(kReportHeader) + "a\xF1o.spc,1,16,0,0,0,0,0,0,0,0,0,1\r\n");
  // Compared with an earlier report: names matched ignoring case, as Windows matches them; in the
  // JSON in UTF-8, from the report's code page ("?" for a character the code page lacks).
  dir.write("kb2/a\xC3\xB1o.spc", "v_i(&Variable)\r\n");
  dir.write("kb2/\xE6\x97\xA5.spc", "v_i(&Variable)\r\n");
  const std::string numbers = ",16,0,0,0,0,0,0,0,0,0,1\r\n";
  const std::string earlier = dir.write("antes.csv", std::string(kReportHeader) + "A\xD1O.SPC,5" +
                                                         numbers + "\xE9t\xE9.spc,2" + numbers);
  const Ran compared = run_exe({"--json", "--compare", earlier, dir / "kb2", dir / "kb2.csv"}, dir);
  ASSERT_EQ(compared.code, 0u) << compared.err;
  EXPECT_EQ(nlohmann::json::parse(compared.out)["compare"], nlohmann::json::parse(R"({
      "before": {"rows": 2, "lines": 7, "score": 0.07},
      "added": [{"name": "?.spc", "lines": 1}], "removed": [{"name": "\u00e9t\u00e9.spc", "lines": 2}],
      "changed": [{"name": "a\u00f1o.spc", "before": 5, "after": 1}], "unchanged": 0})"));
  // Help in the code page; the report by default in the current folder.
  EXPECT_NE(help.find("como m\xE1ximo 32"), std::string::npos);
  EXPECT_EQ(run_exe({src}, dir).code, 0u);
  EXPECT_EQ(read_file(dir / "KBReport.csv"), read_file(report));
}

// A KB followed across releases: "\" paths, labels and names outside the code page, names matched
// ignoring case from one release to the next. A copy for the archive that another program holds
// fails as the report itself does, and the new report stays written.
TEST(ZentilReportExe, HistoryAndArchive) {
  TempDir dir;
  const std::string numbers = ",16,0,0,0,0,0,0,0,0,0,1\r\n", header(kReportHeader);
  const std::string history = dir / "historial \xD0\x96";  // "historial Ж"
  dir.write("historial \xD0\x96/KBReport-1.\xD0\x96.csv", header + "A\xD1O.SPC,2" + numbers);
  dir.write("historial \xD0\x96/KBReport-1.\xC3\xB1.csv", header + "A\xD1O.SPC,5" + numbers);
  dir.write("kb/a\xC3\xB1o.spc", "v_i(&Variable)\r\n");
  const std::string report = dir / "KBReport.csv";
  const std::string copy = join_path(history, "KBReport-2.\xD0\x96.csv");
  const std::vector<std::string> args = {"--json",  "--history",  history,    "--archive", history,
                                         "--label", "2.\xD0\x96", dir / "kb", report};
  const Ran ran = run_exe(args, dir);
  ASSERT_EQ(ran.code, 0u) << ran.err;
  const nlohmann::json doc = nlohmann::json::parse(ran.out);
  EXPECT_EQ(doc["history"], nlohmann::json::parse(R"([
      {"label": "1.\u00f1", "rows": 1, "lines": 5, "score": 0.05},
      {"label": "1.\u0416", "rows": 1, "lines": 2, "score": 0.02},
      {"label": "2.\u0416", "rows": 1, "lines": 1, "score": 0.01}])"));
  EXPECT_EQ(doc["span"]["shrank"],
            nlohmann::json::parse(R"([{"name": "a\u00f1o.spc", "before": 5, "after": 1}])"));
  EXPECT_EQ(read_file(copy), read_file(report));

  const Holder spreadsheet(copy);
  std::filesystem::remove(testing::fs_path(report));
  const Ran held = run_exe(args, dir);
  EXPECT_EQ(held.code, 1u);
  EXPECT_EQ(held.err, "zentil-report: No se puede reemplazar el informe " + dir.path() +
                          "\\historial ?\\KBReport-2.?.csv: otro programa lo est\xE1 usando. "
                          "Ci\xE9rrelo en ese programa y vuelva a intentarlo. El informe nuevo " +
                          report + " s\xED qued\xF3 escrito; falta su copia archivada\r\n");
  EXPECT_EQ(read_file(report), header + "a\xF1o.spc,1" + numbers);
}

}  // namespace
}  // namespace zentil
