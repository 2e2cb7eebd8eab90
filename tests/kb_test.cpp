// Where a KB's size lies and what changed since an earlier report, through zentil-report as a
// lead runs it: a comparison worked out by hand (tests/golden/odd-before.csv against
// tests/golden/odd/) as text, JSON and page, and earlier reports that are no reports.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli_run.h"
#include "metrics/report_row.h"
#include "support.h"

namespace zentil {
namespace {

using testing::cli;
using testing::Ran;
using testing::read_file;
using testing::TempDir;
using Json = nlohmann::json;

const std::string kOdd = ZENTIL_SOURCE_DIR "/tests/golden/odd/";
const std::string kBefore = ZENTIL_SOURCE_DIR "/tests/golden/odd-before.csv";

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
    if (table == "changed") {
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

}  // namespace
}  // namespace zentil
