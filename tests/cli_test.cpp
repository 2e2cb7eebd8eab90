// zentil-report as scripts use it: exit codes and messages, a folder that tries to break it, and
// faults injected into its file operations (an LD_PRELOAD shim, prlimit, the rights of another
// user). Every failure exits 1 with one line on standard error that names the file and the
// reason, and leaves an earlier report byte for byte as it was, with nothing beside it.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "cli_run.h"
#include "metrics/report_row.h"
#include "support.h"

namespace zentil {
namespace {

using testing::Args;
using testing::cli;
using testing::Ran;
using testing::read_file;
using testing::TempDir;

const std::string kOdd = ZENTIL_SOURCE_DIR "/tests/golden/odd";
const std::string kReleases = ZENTIL_SOURCE_DIR "/tests/golden/history/KBReport-";
// Root may read and write anything: the faults of rights are tried as nobody.
const Args kAsNobody =
    ::geteuid() == 0 ? Args{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"} : Args{};

TEST(Cli, ExitCodesAndMessages) {
  TempDir out, alike;
  alike.write("\xE6\x97\xA5.spc", "");  // both "?.spc" in Windows-1252
  alike.write("\xE6\x9C\x88.spc", "");
  const std::string never = out / "never.csv";  // the report of runs that must write nothing
  const std::string done = "Cantidad de archivos procesados: 10\nZentil de la KB: 0.28\n";
  const std::string done_es = "Cantidad de archivos procesados: 10\nZentil de la KB: 0,28\n";
  const Args to_full = {"sh", "-c", "exec \"$0\" \"$@\" >/dev/full"};
  const struct {
    const char* name;
    Args prefix, args;
    int code;
    std::string out, err;  // their beginnings
  } cases[] = {
      {"a run", {}, {kOdd, out / "r.csv"}, 0, done, ""},
      {"here by default", {"env", "-C", out.path()}, {"-q", kOdd}, 0, done, ""},
      {"the user's locale", {"env", "LC_ALL=es_ES.UTF-8"}, {kOdd, out / "r.csv"}, 0, done_es, ""},
      {"a report name of 255 bytes", {}, {kOdd, out / std::string(255, 'r')}, 0, done, ""},
      {"version", {}, {"--version"}, 0, "zentil-report " ZENTIL_VERSION "\n", ""},
      {"empty source", {}, {"", out / "r.csv"}, 2, "", "Seleccione la carpeta origen\n"},
      {"no arguments", {}, {}, 2, "", "Uso: zentil-report"},
      {"no jobs", {}, {"--jobs", "0", kOdd}, 2, "", "Uso: zentil-report"},
      {"standard output fails", to_full, {kOdd, out / "r"}, 1, "", "zentil-report: no se pudo"},
      // clang-format off
      {"two saved reports", {}, {"--compare", kOdd + ".csv", kOdd + ".csv"}, 0,
       "Comparado con el informe anterior " + kOdd + ".csv:\n  Zentil de la KB: 0.28 -> 0.28 (+0)"
       "\n  Objetos: 10 -> 10 (+0)", ""},
      {"a page alone: the two lines and no more", {}, {"--html", out / "p.html", kOdd, out / "r"}, 0,
       done, ""},
      {"two saved reports and a report", {}, {"--compare", kOdd + ".csv", kOdd + ".csv", never},
       2, "", "zentil-report: al comparar dos informes guardados no se escribe"},
      {"the page is the report", {}, {"--html", out / "r", kOdd, out / "r"}, 2, "",
       "zentil-report: la página y el informe no pueden ser el mismo archivo"},
      {"no folder for the page", {}, {"--html", out / "no/p.html", kOdd, never}, 1, "",
       "zentil-report: No se pudo crear la página " + out / "no/p.html"},
      {"names written alike", {}, {"--compare", kOdd + ".csv", alike.path(), never}, 1, "",
       "zentil-report: No se puede comparar con el informe anterior: dos archivos de la carpeta "
       "se escriben «?.spc»"},
      // clang-format on
      {"a negative top", {}, {"--top", "-1", kOdd}, 2, "", "Uso: zentil-report"},
      // Changes of one size in every list, by name: alta before nuevo, baja before viejo,
      // cliente before pedido,linea.
      {"equal changes",
       {},
       {"--top", "1", "--compare", kReleases + "1.8.csv", kReleases + "2.0.csv"},
       0,
       "Comparado con el informe anterior " + kReleases +
           "1.8.csv:\n"
           "  Zentil de la KB: 0.91 -> 1.08 (+0.17)\n  Objetos: 9 -> 9 (+0)\n  Líneas: 91 -> 108 "
           "(+17)\n"
           "  Agregados: 2, quitados: 2, cambiados: 5, sin cambios: 2\n\n"
           "Objetos agregados (2):\n  Objeto        Antes  Ahora  Diferencia\n"
           "  alta.trn.spc      -      6          +6\n  ... y 1 más\n\n"
           "Objetos quitados (2):\n  Objeto        Antes  Ahora  Diferencia\n"
           "  baja.prc.spc      6      -          -6\n  ... y 1 más\n\n"
           "Objetos cambiados (5):\n  Objeto           Antes  Ahora  Diferencia\n"
           "  cliente.trn.spc     10     28         +18\n  ... y 4 más\n",
       ""},
  };
  for (const auto& c : cases) {
    const Ran r = cli(c.args, c.prefix);
    EXPECT_EQ(r.code, c.code) << c.name << ": " << r.err;
    // An output that ends a line is the whole output; any other, how it begins.
    EXPECT_TRUE(c.out.ends_with('\n') ? r.out == c.out : r.out.starts_with(c.out))
        << c.name << ": " << r.out;
    EXPECT_TRUE(r.err.starts_with(c.err)) << c.name << ": " << r.err;
  }
  EXPECT_TRUE(read_file(out / "p.html").starts_with("<!DOCTYPE html>"));
  EXPECT_EQ(read_file(out / "KBReport.csv"), read_file(kOdd + ".csv"));
  EXPECT_FALSE(std::filesystem::exists(never));
  const std::string help = cli({"--help"}).out;  // every word of it in Spanish
  EXPECT_TRUE(help.starts_with("Mide una KB")) << help;
  for (const char* english :
       {"Usage", "Options", "OPTIONS", "Positionals", "REQUIRED", "TEXT", "POSITIVE"}) {
    EXPECT_EQ(help.find(english), std::string::npos) << english << " in\n" << help;
  }
}

// Every kind of entry and name a folder holds, more files than the run may have open at once, and
// a line of 48 MiB that streams past instead of being held. Only regular files, and links to
// them, get a row; each row is one line. The report lies in the folder and is never listed.
TEST(Cli, HostileFolder) {
  TempDir src;
  const struct {
    char kind;  // file, directory, pipe (FIFO), link
    std::string name, target;
    std::string written;  // in the report; empty: left out
  } entries[] = {
      {'f', "a.spc", "", "a.spc"},
      {'l', "link.spc", "a.spc", "link.spc"},
      {'f', ".hidden", "", ""},
      {'f', ".KBReport.csv.zentil-Ab12Cd", "", ""},  // a killed run's temporary report
      {'d', "sub", "", ""},
      {'p', "fifo.spc", "", ""},
      {'l', "fifolink", "fifo.spc", ""},
      {'l', "zero", "/dev/zero", ""},
      {'l', "up", "..", ""},
      {'l', "loop", "loop", ""},
      {'f', "cr\rname", "", "cr?name"},
      {'f', "lf\nname", "", "lf?name"},
      {'f', "\xE2\x82\xAC\xC5\xA0", "", "\x80\x8A"},      // "€Š" in Windows-1252
      {'f', "\xE6\x97\xA5.spc", "", "?.spc"},             // a character Windows-1252 lacks
      {'f', "caf\xE9 \xC0\xAF", "", "caf\xE9 \xC0\xAF"},  // not UTF-8: byte for byte
  };
  std::map<std::string, std::string> rows;  // in the order of their names' bytes
  for (const auto& e : entries) {
    const std::string path = src / e.name;
    if (e.kind == 'f') src.write(e.name, "v_i(&Variable)\r\n");
    if (e.kind == 'd') std::filesystem::create_directory(path);
    if (e.kind == 'p') ::mkfifo(path.c_str(), 0644);
    if (e.kind == 'l') std::filesystem::create_symlink(e.target, path);
    if (!e.written.empty()) rows[e.name] = e.written + ",1,16,0,0,0,0,0,0,0,0,0,1\r\n";
  }
  for (int i = 100; i < 140; ++i) {
    const std::string name = "long-common-name-" + std::to_string(i);  // sorted past 16 bytes
    src.write(name, "");
    rows[name] = name + ",0,0,0,0,0,0,0,0,0,0,0,0\r\n";
  }
  std::string lf;  // a lone LF is no line end: the file is one line
  while (lf.size() < (1u << 20)) lf += "b_line_i(1,cmd,'for each Cliente')\n";
  for (std::ofstream file(src / "lf.spc"); file.tellp() < (48 << 20);) file << lf;  // 48 MiB
  const auto size = std::filesystem::file_size(src / "lf.spc");
  rows["lf.spc"] = "lf.spc,1," + std::to_string(size) + ",0,0,0,0,0,0,0,0,1,0\r\n";
  std::string expected(kReportHeader);
  for (const auto& [name, row] : rows) expected += row;
  // The second run finds the first one's report in the folder, and keeps the rights given to it.
  auto rights = std::filesystem::status(src / "a.spc").permissions();  // a new file's
  for (const std::string& report : {src / "KBReport.csv", src.path() + "/sub/../KBReport.csv"}) {
    const Ran r = cli({"--jobs", "2", src.path(), report}, {"prlimit", "--nofile=32"});
    EXPECT_EQ(r.code, 0) << report << ": " << r.err;
    EXPECT_EQ(read_file(src / "KBReport.csv"), expected) << report;
    EXPECT_EQ(std::filesystem::status(report).permissions(), rights) << report;
#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer's own memory would hide the program's
    EXPECT_LT(r.peak_kib, 24 * 1024);
#endif
    EXPECT_TRUE(std::filesystem::exists(src / ".KBReport.csv.zentil-Ab12Cd"));  // not the run's
    ::chmod(report.c_str(), 0604);  // rights no umask gives
    rights = std::filesystem::perms(0604);
  }
}

TEST(Cli, FaultsStopTheRunAndKeepTheEarlierReport) {
  constexpr std::size_t kRead = 256 * 1024;  // the size of the run's reads
  TempDir src, out;
  // Enough rows, with long names, that the report is written during the scan too.
  for (int i = 0; i < 400; ++i) src.write(std::string(190, 'n') + std::to_string(i), "v_i(&x)\r\n");
  std::string big;
  while (big.size() < 2 * kRead + 1000) big += "b_line_i(1,cmd,'for each Cliente')\r\n";
  const std::string m = src.write("m.spc", big), g = src / "g.spc", report = out / "KBReport.csv";
  ASSERT_EQ(::mkfifo((src / "fifo").c_str(), 0644), 0);
  ASSERT_EQ(cli({src.path(), report}).code, 0);
  const std::string full = std::to_string(read_file(report).size() - 1);
  const char* asan = std::getenv("ASAN_OPTIONS");
  const auto shim = [&](Args faults) {
    faults.insert(faults.begin(),
                  {"env", "LD_PRELOAD=" ZENTIL_FAULT_SHIM, "ZENTIL_FAULT_FILE=" + m,
                   "ASAN_OPTIONS=" + std::string(asan ? asan : "") + ":verify_asan_link_order=0"});
    return faults;
  };
  const auto at = [&](std::size_t byte) {
    return shim({"ZENTIL_FAULT_AT=" + std::to_string(byte)});
  };
  const Args folder = shim({"ZENTIL_FAULT_GONE=" + g, "ZENTIL_FAULT_FOLDER=1"});
  const std::string eio = std::strerror(EIO), efbig = std::strerror(EFBIG),
                    eacces = std::strerror(EACCES);
  const struct {
    const char* name;
    Args prefix, args;   // args: {src, report} when empty
    std::string locked;  // a path whose rights become `mode`
    mode_t mode;
    std::string file, reason;  // named in the message
    int code = 1;
  } cases[] = {
      {"missing source", {}, {src / "no", report}, "", 0, src / "no", "no existe"},
      {"source is a file", {}, {m, report}, "", 0, m, "no es una carpeta"},
      {"report is a folder", {}, {src.path(), out.path()}, "", 0, out.path(), "Is a directory"},
      {"report is a FIFO", {}, {src.path(), src / "fifo"}, "", 0, src / "fifo", "no es un archivo"},
      {"no report path", {}, {src.path(), ""}, "", 0, "", "falta la ruta del archivo de informe"},
      {"read error after a short read", at(kRead + 1), {}, "", 0, m, eio},
      {"read error at the last byte", at(big.size() - 1), {}, "", 0, m, eio},
      {"no room for the header", {"prlimit", "--fsize=0"}, {}, "", 0, report, efbig},
      {"no room for rows during the scan", {"prlimit", "--fsize=2000"}, {}, "", 0, report, efbig},
      {"no room for the last byte", {"prlimit", "--fsize=" + full}, {}, "", 0, report, efbig},
      {"rename fails", shim({"ZENTIL_FAULT_REPORT=rename"}), {}, "", 0, report, eio},
      {"gone after the listing", shim({"ZENTIL_FAULT_GONE=" + g}), {}, "", 0, g, "No such file"},
      {"a folder after the listing", folder, {}, "", 0, g, "no es un archivo normal"},
      {"a spec file that may not be read", kAsNobody, {}, m, 0, m, eacces},
      {"a report folder that may not be written", kAsNobody, {}, out.path(), 0555, report, eacces},
      {"a source folder that may not be read", kAsNobody, {}, src.path(), 0311, src.path(), eacces},
      {"a read-only report", {}, {}, report, 0444, report, eacces},
      {"Ctrl+C", shim({"ZENTIL_FAULT_INTERRUPT=1"}), {}, "", 0, report, "interrumpida", 130},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    out.write("KBReport.csv", "an earlier report\r\n");
    std::filesystem::remove(g);
    src.write("g.spc", "v_i(&x)\r\n");
    for (const auto& [path, mode] :
         {std::pair{src.path(), 0755}, {m, 0644}, {out.path(), 0777}, {report, 0644}}) {
      ::chmod(path.c_str(), path == c.locked ? c.mode : mode);
    }
    const Ran r = cli(c.args.empty() ? Args{src.path(), report} : c.args, c.prefix);
    ::chmod(out.path().c_str(), 0777);
    EXPECT_EQ(r.code, c.code) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.starts_with("zentil-report: ") && r.err.find('\n') == r.err.size() - 1)
        << r.err;
    EXPECT_TRUE(r.err.find(c.file) != r.err.npos && r.err.find(c.reason) != r.err.npos) << r.err;
    EXPECT_EQ(read_file(report), "an earlier report\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.path()), {}), 1);
  }
}

}  // namespace
}  // namespace zentil
