// Where a KB's size lies, what changed since an earlier report and where it is heading across
// its releases, through zentil-report as a lead and a CI pipeline run it: a comparison and a
// history worked out by hand (tests/golden/README.md) as text, JSON and page, the budget that
// fails a pipeline, each release kept in an archive, and input that is no report.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <ctime>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <tuple>

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
using Json = nlohmann::json;

const std::string kOdd = ZENTIL_SOURCE_DIR "/tests/golden/odd/";
const std::string kBefore = ZENTIL_SOURCE_DIR "/tests/golden/odd-before.csv";
const std::string kHistory = ZENTIL_SOURCE_DIR "/tests/golden/history/";

// What the comparison of odd-before.csv with odd/ gives at --top 5, worked out by hand from the
// rows of both (tests/golden/README.md); nul.spc and sigue.trn.spc tie at 3 lines.
const Json kWorkedOut = Json::parse(R"({
  "processed": 10, "rows": 10, "lines": 28, "score": 0.28,
  "kinds": {"transaction": {"files": 2, "lines": 13}, "procedure": {"files": 1, "lines": 6},
            "report": {"files": 1, "lines": 4}, "other": {"files": 6, "lines": 5}},
  "largest": [{"name": "cr-solo.trn.spc", "lines": 10}, {"name": "procedimiento.prc.spc", "lines": 6},
              {"name": "reporte.rpt.spc", "lines": 4}, {"name": "nul.spc", "lines": 3},
              {"name": "sigue.trn.spc", "lines": 3}],
  "compare": {
    "before": {"rows": 11, "lines": 30, "score": 0.3},
    "added": [{"name": "lf-solo.spc", "lines": 1}],
    "removed": [{"name": "viejo.prc.spc", "lines": 9}, {"name": "borrado,x.spc", "lines": -5}],
    "changed": [{"name": "cr-solo.trn.spc", "before": 4, "after": 10},
                {"name": "negativo.spc", "before": 1, "after": -2},
                {"name": "a,b.spc", "before": 3, "after": 1}],
    "unchanged": 6}})");

// The history of tests/golden/history/ at --top 1, worked out by hand from its five reports; each
// list of the span holds two changes of one size, in name order.
const Json kHistoryWorkedOut = Json::parse(R"({
  "rows": 9, "lines": 108, "score": 1.08, "largest": [{"name": "cliente.trn.spc", "lines": 28}],
  "history": [{"label": "1.8", "rows": 9, "lines": 91, "score": 0.91},
              {"label": "1.9", "rows": 10, "lines": 100, "score": 1.0},
              {"label": "1.10", "rows": 9, "lines": 103, "score": 1.03},
              {"label": "1.11", "rows": 9, "lines": 94, "score": 0.94},
              {"label": "2.0", "rows": 9, "lines": 108, "score": 1.08}],
  "span": {"first": "1.8", "last": "2.0",
    "grew": [{"name": "cliente.trn.spc", "before": 10, "after": 28},
             {"name": "pedido,linea.trn.spc", "before": 5, "after": 23}],
    "shrank": [{"name": "borrador.prc.spc", "before": 12, "after": 4},
               {"name": "cierre.prc.spc", "before": 30, "after": 22},
               {"name": "a&b<c>\"d\".rpt.spc", "before": 4, "after": 1}],
    "added": [{"name": "alta.trn.spc", "lines": 6}, {"name": "nuevo.rpt.spc", "lines": 6}],
    "removed": [{"name": "baja.prc.spc", "lines": 6}, {"name": "viejo.rpt.spc", "lines": 6}],
    "unchanged": 2},
  "budget": {"limit": {"lines": 10}, "growth": {"lines": 14, "score": 0.14, "percent": 14.9},
             "exceeded": true}})");

// The page, parsed as strict XML: any fault of form fails the parse.
class Page {
 public:
  explicit Page(const std::string& bytes)
      : doc_(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "page.html", "UTF-8",
                           XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING)),
        xpath_(doc_ ? xmlXPathNewContext(doc_.get()) : nullptr) {
    if (xpath_)
      xmlXPathRegisterNs(xpath_.get(), BAD_CAST "h", BAD_CAST "http://www.w3.org/1999/xhtml");
  }
  bool parsed() const { return xpath_ != nullptr; }

  // The text of every node `path` selects.
  std::vector<std::string> all(const std::string& path) const {
    std::vector<std::string> found;
    const std::unique_ptr<xmlXPathObject, decltype(&xmlXPathFreeObject)> result(
        xmlXPathEvalExpression(BAD_CAST path.c_str(), xpath_.get()), xmlXPathFreeObject);
    if (!result || !result->nodesetval) return found;
    for (int i = 0; i < result->nodesetval->nodeNr; ++i) {
      xmlChar* text = xmlNodeGetContent(result->nodesetval->nodeTab[i]);
      found.emplace_back(reinterpret_cast<const char*>(text));
      xmlFree(text);
    }
    return found;
  }
  std::string one(const std::string& path) const {
    const auto found = all(path);
    return found.size() == 1 ? found[0] : "<" + std::to_string(found.size()) + " nodes>";
  }
  // A figure's plain value, by the id of the element that shows it.
  Json figure(const std::string& id) const {
    return Json::parse(one("//*[@id='" + id + "']/@data-value"));
  }

 private:
  struct FreeDoc {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
  };
  struct FreeXPath {
    void operator()(xmlXPathContext* c) const { xmlXPathFreeContext(c); }
  };
  std::unique_ptr<xmlDoc, FreeDoc> doc_;
  std::unique_ptr<xmlXPathContext, FreeXPath> xpath_;
};

// The rows of one of the page's tables as the JSON writes them.
Json page_rows(const Page& page, const std::string& table) {
  const std::string rows = "//h:table[@id='" + table + "']/h:tbody/h:tr";
  Json list = Json::array();
  const auto names = page.all(rows + "/h:td[1]");
  const auto before = page.all(rows + "/h:td[contains(@class,'before')]/@data-value");
  const auto after =
      page.all(rows + "/h:td[contains(@class,'after') or contains(@class,'lines')]/@data-value");
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (table == "changed" || table == "grew" || table == "shrank") {
      list.push_back({{"name", names[i]},
                      {"before", std::stoll(before.at(i))},
                      {"after", std::stoll(after.at(i))}});
    } else {
      list.push_back({{"name", names[i]},
                      {"lines", std::stoll(table == "removed" ? before.at(i) : after.at(i))}});
    }
  }
  return list;
}

TEST(Kb, ComparisonWorkedOutByHandAsTextJsonAndPage) {
  TempDir out;
  // Text, as a terminal shows it; the earlier report named as the user named it.
  const Ran text = cli({"--summary", "--top", "2", "--compare", kBefore, kOdd, out / "r.csv"});
  std::string expected = read_file(std::string(ZENTIL_SOURCE_DIR "/tests/golden/odd-compare.txt"));
  expected.replace(expected.find("ANTERIOR"), 8, kBefore);
  EXPECT_EQ(text.code, 0) << text.err;
  EXPECT_EQ(text.out, expected);
  EXPECT_EQ(read_file(out / "r.csv"), read_file(kOdd.substr(0, kOdd.size() - 1) + ".csv"));

  // JSON and page in one run, in a locale whose decimal separator is a comma.
  const Ran json = cli({"--json", "--top", "5", "--compare", kBefore, "--html", out / "p.html",
                        "-q", kOdd, out / "r.csv"},
                       {"env", "LC_ALL=es_ES.UTF-8"});
  ASSERT_EQ(json.code, 0) << json.err;
  const Json doc = Json::parse(json.out);
  EXPECT_EQ(doc, kWorkedOut) << doc.dump(2);

  const Page page(read_file(out / "p.html"));
  ASSERT_TRUE(page.parsed());
  EXPECT_EQ(page.one("//*[@id='score']"), "0,28");
  EXPECT_EQ(page.one("//*[@id='score-difference']"), "-0,02");
  for (const auto& [id, value] : {std::pair{"score", doc["score"]},
                                  {"processed", doc["processed"]},
                                  {"rows", doc["rows"]},
                                  {"lines", doc["lines"]},
                                  {"score-before", doc["compare"]["before"]["score"]},
                                  {"rows-before", doc["compare"]["before"]["rows"]},
                                  {"lines-before", doc["compare"]["before"]["lines"]}}) {
    EXPECT_EQ(page.figure(id), value) << id;
  }
  EXPECT_EQ(page.figure("score-difference"), -0.02);
  for (const char* list : {"added", "removed", "changed"}) {
    EXPECT_EQ(page_rows(page, list), doc["compare"][list]) << list;
  }
  EXPECT_EQ(page_rows(page, "largest"), doc["largest"]);
  for (const auto& [kind, totals] : doc["kinds"].items()) {
    const std::string row = "//h:tr[@data-kind='" + kind + "']/h:td";
    EXPECT_EQ(
        Json({{"files", std::stoll(page.one(row + "[contains(@class,'files')]/@data-value"))},
              {"lines", std::stoll(page.one(row + "[contains(@class,'lines')]/@data-value"))}}),
        totals)
        << kind;
  }
  // Self-contained: nothing to fetch, nothing to run.
  EXPECT_EQ(page.all("//h:script | //*[@src] | //h:link | //*[starts-with(@href,'http')]").size(),
            0u);

  // Two saved reports, with no scan: the same comparison, whatever --top, and nothing written.
  const Ran saved = cli(
      {"--json", "--top", "2", "--compare", kBefore, ZENTIL_SOURCE_DIR "/tests/golden/odd.csv"});
  ASSERT_EQ(saved.code, 0) << saved.err;
  const Json two = Json::parse(saved.out);
  EXPECT_EQ(two["compare"], doc["compare"]);
  EXPECT_FALSE(two.contains("processed") || two.contains("kinds")) << two.dump();
}

// Every earlier report that is no report stops the command before anything is written: exit 1,
// one line naming the file, the line and what was expected; the report it would replace (here
// the earlier one itself, the common case) and the page untouched, nothing left beside them.
TEST(Kb, BadEarlierReportsStopBeforeAnythingIsWritten) {
  const std::string header(kReportHeader);
  const std::string row = "a.spc,1,16,0,0,0,0,0,0,0,0,0,1\r\n";
  std::string utf16 = "\xFF\xFE";
  for (const char c : header) utf16 += std::string{c, '\0'};
  const struct {
    const char* name;
    std::string bytes;  // none: no such file
    std::string message;
  } cases[] = {
      {"missing", "", "No such file or directory"},
      {"empty", "-", "KBReport.csv está vacío"},
      {"another CSV", "Nombre,Cantidad\r\n", "línea 1: no es un informe de Zentil"},
      {"saved again in UTF-8",
       "Archivo,L\xC3\xADneas,Tama\xC3\xB1o,Tablas,Atrib. tab.,Tablas "
       "total,Ctrl. IR dlt.,Atrib. total,Print blocks,Niveles,Cant. Reglas,Comandos,Vars\r\n",
       "línea 1: el informe está guardado en UTF-8"},
      {"with a byte-order mark", "\xEF\xBB\xBF" + header,
       "línea 1: el informe está guardado en UTF-8"},
      {"saved again in UTF-16", utf16, "línea 1: el informe está guardado en UTF-16"},
      {"too few fields", header + row + "b.spc,1,2,3\r\n", "línea 3: se esperaban 13 campos"},
      {"a name and no more", header + "nombre\n",
       "línea 2: se esperaban 13 campos separados por "
       "comas (el nombre del archivo y 12 números) y hay 1"},
      {"lines not a number", header + "a.spc,1x,16,0,0,0,0,0,0,0,0,0,1\r\n",
       "línea 2: el campo «Líneas» debe ser un número entero y es «1x»"},
      {"a plus sign", header + "a.spc,+1,16,0,0,0,0,0,0,0,0,0,1\r\n", "y es «+1»"},
      {"an empty field", header + "a.spc,1,16,0,0,0,0,0,0,0,0,0,\r\n", "«Vars» debe ser"},
      {"a space", header + "a.spc,1,16,0,0,0,0,0,0,0,0,0, 1\r\n", "y es « 1»"},
      {"too large", header + "a.spc,1,99999999999999999999,0,0,0,0,0,0,0,0,0,1\r\n",
       "«Tamaño» (99999999999999999999) es mayor de lo que un informe puede contar"},
      {"no name", header + ",1,16,0,0,0,0,0,0,0,0,0,1\r\n", "línea 2: falta el nombre"},
      {"the same name twice", header + row + "x,y.spc,2,3,0,0,0,0,0,0,0,0,0,0\r\n" + row,
       "línea 4: el archivo «a.spc» ya aparece en la línea 2"},
      {"the same name on the next line", header + row + row,
       "línea 3: el archivo «a.spc» ya aparece en la línea 2"},
      {"more lines than any KB has", header + "a.spc,2000000000000000,1,0,0,0,0,0,0,0,0,0,0\r\n",
       "«Líneas» (2000000000000000) es mayor de lo que un informe puede contar"},
      {"an empty line between rows", header + row + "\r\n" + row, "línea 3: una fila vacía"},
      {"a line no row is as long as", header + std::string(70000, 'x'),
       "línea 2: la línea es "
       "demasiado larga"},
  };
  const std::string src = ZENTIL_SOURCE_DIR "/tests/golden/rules/";
  for (const auto& c : cases) {
    TempDir out;
    const std::string report = out / "KBReport.csv";
    if (!c.bytes.empty()) out.write("KBReport.csv", c.bytes == "-" ? "" : c.bytes);
    const Ran r = cli({"--compare", report, "--html", out / "p.html", src, report});
    EXPECT_EQ(r.code, 1) << c.name;
    EXPECT_EQ(r.out, "") << c.name;
    EXPECT_TRUE(r.err.starts_with("zentil-report: ") && r.err.find(report) != r.err.npos &&
                r.err.find(c.message) != r.err.npos && r.err.find('\n') == r.err.size() - 1)
        << c.name << ": " << r.err;
    const auto left = std::distance(std::filesystem::directory_iterator(out.path()), {});
    EXPECT_EQ(left, c.bytes.empty() ? 0 : 1) << c.name;
    if (!c.bytes.empty()) {
      EXPECT_EQ(read_file(report), c.bytes == "-" ? "" : c.bytes) << c.name;
    }
  }
  // Checked before the scan starts: a spec file that cannot be read is never reached.
  TempDir out;
  const char* asan = std::getenv("ASAN_OPTIONS");
  const Ran first =
      cli({"--compare", src + "10-characters.spc", src, out / "r.csv"},
          {"env", "LD_PRELOAD=" ZENTIL_FAULT_SHIM, "ZENTIL_FAULT_AT=0",
           "ZENTIL_FAULT_FILE=" + src + "11-characters.spc",
           "ASAN_OPTIONS=" + std::string(asan ? asan : "") + ":verify_asan_link_order=0"});
  EXPECT_NE(first.err.find("10-characters.spc, línea 1: no es un informe"), std::string::npos)
      << first.err;
  // Read well: LF alone, names with commas and negative counts, empty lines at the very end;
  // and the earlier report replaced by this run's own.
  const std::string report = out.write(
      "KBReport.csv",
      header + row + "x,y.spc,-2,3,0,0,0,0,0,0,0,0,0,0\nz.spc,7,1,0,0,0,0,0,0,0,0,0,0\n\r\n\n");
  const Ran r = cli({"--json", "--compare", report, src, report});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Json::parse(r.out)["compare"]["before"],
            Json::parse(R"({"rows":3,"lines":6,"score":0.06})"));
  EXPECT_EQ(read_file(report), read_file(std::string(ZENTIL_SOURCE_DIR "/tests/golden/rules.csv")));
}

// Five releases worked out by hand: an object added in the second and removed in the fourth, a
// name with a comma and one with every character markup escapes, lines that fall in the fourth,
// labels 1.9 and 1.10. Named one by one they keep the order given; with a scan the new report is
// the last release.
TEST(Kb, HistoryWorkedOutByHandAsTextJsonAndPage) {
  TempDir out;
  const Ran text = cli({"--top", "2", "--history", kHistory});
  EXPECT_EQ(text.code, 0) << text.err;
  EXPECT_EQ(text.out, read_file(std::string(ZENTIL_SOURCE_DIR "/tests/golden/history.txt")));

  // Over budget, everything is written and printed, then one line says so: exit code 3.
  const Ran json = cli({"--json", "--top", "1", "--max-growth", "10", "--html", out / "p.html",
                        "--history", kHistory},
                       {"env", "LC_ALL=es_ES.UTF-8"});
  EXPECT_EQ(json.code, 3);
  EXPECT_EQ(json.err,
            "El Zentil de la KB creció +0,14 (+14 líneas, +14,9 %), más que el límite de +10 "
            "líneas\n");
  const Json doc = Json::parse(json.out);
  EXPECT_EQ(doc, kHistoryWorkedOut) << doc.dump(2);
  const Page page(read_file(out / "p.html"));
  ASSERT_TRUE(page.parsed());
  const std::string rows = "//h:table[@id='history']/h:tbody/h:tr/";
  const auto labels = page.all(rows + "h:td[1]"), objects = page.all(rows + "h:td[2]/@data-value"),
             lines = page.all(rows + "h:td[3]/@data-value"),
             scores = page.all(rows + "h:td[@class='n score']/@data-value");
  Json releases = Json::array();
  for (std::size_t i = 0; i < labels.size(); ++i) {
    releases.push_back({{"label", labels[i]},
                        {"rows", std::stoll(objects.at(i))},
                        {"lines", std::stoll(lines.at(i))},
                        {"score", Json::parse(scores.at(i))}});
  }
  EXPECT_EQ(releases, doc["history"]);
  EXPECT_EQ(page.all("//*[@class='release']/@data-label"), labels);  // a point per release
  for (const char* list : {"grew", "shrank", "added", "removed"}) {
    EXPECT_EQ(page_rows(page, list), doc["span"][list]) << list;
  }
  EXPECT_EQ(page.figure("span-score-difference"), 0.17);
  EXPECT_EQ(page.one("//*[@id='score']"), "1,08");

  // Budgets at the edge: 94 to 108 lines is 14 lines, 14.89 %; 100 to 103 exactly 3 %.
  const Args step = {"--history", kHistory + "KBReport-1.9.csv", "--history",
                     kHistory + "KBReport-1.10.csv"},
             all = {"--history", kHistory};
  for (const auto& [budget, releases, code] : {std::tuple{"14", all, 0},
                                               {"13", all, 3},
                                               {"14,8%", all, 3},
                                               {"14.9%", all, 0},
                                               {"3%", step, 0},
                                               {"2.99%", step, 3}}) {
    Args args = {"-q", "--max-growth", budget};
    args.insert(args.end(), releases.begin(), releases.end());
    EXPECT_EQ(cli(args).code, code) << budget;
  }
  // One by one, in the order given; a step down fails no budget.
  const Ran given = cli({"--json", "--max-growth", "0", "--history", kHistory + "KBReport-2.0.csv",
                         "--history", kHistory + "KBReport-1.8.csv"});
  EXPECT_EQ(given.code, 0) << given.err;
  const Json down = Json::parse(given.out);
  EXPECT_EQ(down["span"]["first"], "2.0");
  EXPECT_EQ(down["budget"]["growth"],
            Json::parse(R"({"lines":-17,"score":-0.17,"percent":-15.7})"));
  const Ran scan = cli({"--json", "--label", "3.0", "--history", kHistory, kOdd, out / "r.csv"});
  ASSERT_EQ(scan.code, 0) << scan.err;
  EXPECT_EQ(Json::parse(scan.out)["history"].back(),
            Json::parse(R"({"label": "3.0", "rows": 10, "lines": 28, "score": 0.28})"));
}

// Each release kept: under its label, in folders made on the way, replaced when the label comes
// again (which is then no second release of it); or under the day, whose later copies get -2,
// -3, … past the highest there. A copy that cannot be written fails the command, which says the
// new report is written all the same.
TEST(Kb, ArchiveKeepsEveryRelease) {
  TempDir out;
  const std::string report = out / "KBReport.csv", archive = out / "a/b";
  const auto run = [&](Args args) {
    args.insert(args.end(), {"-q", kOdd, report});
    return cli(args);
  };
  const Args history = {"--json", "--archive", archive, "--history", archive, "--label", "1.4"};
  for (const char* earlier : {"", "stale"}) {
    if (*earlier) out.write("a/b/KBReport-1.4.csv", earlier);
    const Ran r = run(history);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Json::parse(r.out)["history"].size(), 1u) << r.out;
    EXPECT_EQ(read_file(archive + "/KBReport-1.4.csv"), read_file(report));
  }
  const std::time_t now = std::time(nullptr);
  char day[32];
  std::strftime(day, sizeof day, "KBReport-%Y-%m-%d", std::localtime(&now));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(run({"--archive", archive}).code, 0);
  std::filesystem::remove(archive + "/" + day + "-2.csv");
  EXPECT_EQ(run({"--archive", archive}).code, 0);
  std::set<std::string> kept;
  for (const auto& e : std::filesystem::directory_iterator(archive)) {
    kept.insert(e.path().filename().string());
  }
  EXPECT_EQ(kept,
            (std::set<std::string>{"KBReport-1.4.csv", day + std::string(".csv"),
                                   day + std::string("-3.csv"), day + std::string("-4.csv")}));

  out.write("file", "");
  const Ran r = run({"--archive", out / "file/x"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "zentil-report: No se pudo crear la carpeta " + out / "file/x" +
                       ": Not a directory. El informe nuevo " + report +
                       " sí quedó escrito; falta su copia archivada\n");
  EXPECT_EQ(read_file(report), read_file(kOdd.substr(0, kOdd.size() - 1) + ".csv"));
}

// A history that is none, or options that do not go together, stop the command before anything
// is written: exit 1 (2 for options), one line naming the file, the line and the fault.
TEST(Kb, BadHistoriesStopBeforeAnythingIsWritten) {
  TempDir in;
  const std::string header(kReportHeader);
  in.write("vacia/notas.txt", "no es un informe");
  in.write("otra/KBReport-1.8.csv", read_file(kHistory + "KBReport-1.8.csv"));
  in.write("otra/KBReport-1.9.csv", "Nombre,Cantidad\r\n");
  in.write("fila/KBReport-1.csv", header + "a.spc,1x,16,0,0,0,0,0,0,0,0,0,1\r\n");
  in.write("dos/X.csv", header);
  in.write("dos/X.CSV", header);
  const std::string first = kHistory + "KBReport-1.8.csv";
  const struct {
    const char* name;
    Args args;
    int code;
    std::string message;
  } cases[] = {
      {"a folder with no report",
       {"--history", in / "vacia"},
       1,
       "La carpeta del historial " + in / "vacia" + " no tiene ningún informe guardado"},
      {"a .csv that is no report",
       {"--history", in / "otra"},
       1,
       in / "otra/KBReport-1.9.csv" + ", línea 1: no es un informe de Zentil"},
      {"a row that is none",
       {"--history", in / "fila"},
       1,
       in / "fila/KBReport-1.csv" + ", línea 2: el campo «Líneas» debe ser un número entero"},
      {"two reports of one label",
       {"--history", in / "dos"},
       1,
       "Dos informes dan la misma etiqueta «X»: " + in / "dos/X.CSV" + " y " + in / "dos/X.csv"},
      {"one report twice",
       {"--history", first, "--history", first},
       1,
       "la misma etiqueta «1.8»: " + first + " y " + first},
      {"the new release's label taken",
       {"--history", kHistory, "--label", "2.0"},
       1,
       "El informe nuevo lleva la etiqueta «2.0», como " + kHistory + "KBReport-2.0.csv"},
      {"no such origin", {"--history", in / "nada"}, 1, in / "nada" + ": No such file"},
      {"a label no file name holds",
       {"--archive", in / "a", "--label", "1:4"},
       2,
       "la etiqueta «1:4» lleva «:», que un nombre de archivo no puede llevar"},
      {"a control character",
       {"--archive", in / "a", "--label", "1\t4"},
       2,
       "lleva un carácter de control"},
      {"a budget that is none",
       {"--history", kHistory, "--max-growth=-5"},
       2,
       "--max-growth espera un número de líneas («100») o un porcentaje"},
      {"a budget with nothing to judge", {"--max-growth", "5"}, 2, "--max-growth necesita"},
      {"--compare and --history", {"--compare", first, "--history", kHistory}, 2, "no van juntas"},
  };
  for (const auto& c : cases) {
    TempDir out;
    Args args = c.args;
    args.insert(args.end(), {"--html", out / "p.html", ZENTIL_SOURCE_DIR "/tests/golden/rules/",
                             out / "r.csv"});
    const Ran r = cli(args);
    EXPECT_EQ(r.code, c.code) << c.name;
    EXPECT_EQ(r.out, "") << c.name;
    EXPECT_TRUE(r.err.starts_with("zentil-report: ") && r.err.find(c.message) != r.err.npos &&
                r.err.find('\n') == r.err.size() - 1)
        << c.name << ": " << r.err;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.path()), {}), 0) << c.name;
  }
}

}  // namespace
}  // namespace zentil
