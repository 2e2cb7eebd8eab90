// The report's bytes: header, rows, negative values, names.
#include "metrics/report_row.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zentil {
namespace {

TEST(ReportHeader, IsTheExact128CharactersInWindows1252) {
  ASSERT_EQ(kReportHeader.size(), 128u + 2u);
  EXPECT_TRUE(kReportHeader.ends_with("\r\n"));
  EXPECT_EQ(kReportHeader.substr(0, 11), std::string_view("Archivo,L\xED"
                                                          "n"));
  EXPECT_EQ(kReportHeader.find("Tama\xF1o"), 15u);
  EXPECT_EQ(std::count(kReportHeader.begin(), kReportHeader.end(), ','), 12);
  EXPECT_EQ(kReportHeader.find(", "), std::string_view::npos);
}

TEST(ReportRow, FieldsInColumnOrder) {
  FileMetrics m;
  m.lineCount = 130;
  m.attributeProperties = 4;
  m.datastoreRules = 3;
  m.propertyRules = 2;
  m.tableAttributeProperties = 1;  // effective lines 120
  m.fileSize = 4567;
  m.levelTables = 2;
  m.tableAttributes = 9;
  m.tablesTotal = 3;
  m.deleteControls = 1;
  m.attributesTotal = 11;
  m.printBlocks = 5;
  m.levels = 6;
  m.rules = 7;
  m.commands = 8;
  m.vars = 32768;
  std::string row;
  append_report_row(row, "cliente.spc", m);
  EXPECT_EQ(row, "cliente.spc,120,4567,2,9,3,1,11,5,6,7,8,32768\r\n");
}

TEST(ReportRow, EmptyFileIsTwelveZeros) {
  std::string row;
  append_report_row(row, "vacio.spc", FileMetrics{});
  EXPECT_EQ(row, "vacio.spc,0,0,0,0,0,0,0,0,0,0,0,0\r\n");
}

TEST(ReportRow, NegativeAndHugeValuesArePlainDecimal) {
  FileMetrics m;
  m.lineCount = -3;
  m.fileSize = 9'000'000'000'123LL;
  std::string row;
  append_report_row(row, "a", m);
  EXPECT_EQ(row, "a,-3,9000000000123,0,0,0,0,0,0,0,0,0,0\r\n");
  EXPECT_EQ(effective_lines(m), -3);
}

TEST(ReportRow, NamesAreWrittenUnescaped) {
  struct Case {
    std::string name;
    std::string written;
  };
  const std::vector<Case> cases = {
      {"a,b.spc", "a,b.spc"},             // a comma makes one field more
      {"\"q\".spc", "\"q\".spc"},         // quotes stay
      {"a\rb\nc", "a?b?c"},               // one row stays one line
      {"a\xC3\xB1o.spc", "a\xF1o.spc"},   // UTF-8 ñ becomes 0xF1
      {"\xE2\x82\xAC", "\x80"},           // € has its own byte
      {"\xE6\x97\xA5.spc", "?.spc"},      // no such character in the code page
      {"\xF0\x9F\x98\x80", "?"},          // nor outside the basic plane
      {"caf\xE9\r.spc", "caf\xE9?.spc"},  // Latin-1 bytes: written as they are
      {"\xC3", "\xC3"},                   // truncated sequence: bytes
      {"\xC0\xAF", "\xC0\xAF"},           // overlong: bytes
#ifdef _WIN32
      {"\xED\xA0\x80", "?"},  // a lone surrogate, which a Windows name may hold
#else
      {"\xED\xA0\x80", "\xED\xA0\x80"},  // surrogate: bytes
#endif
  };
  for (const auto& c : cases) {
    std::string row;
    append_report_row(row, c.name, FileMetrics{});
    EXPECT_EQ(row, c.written + ",0,0,0,0,0,0,0,0,0,0,0,0\r\n") << c.name;
  }
}

}  // namespace
}  // namespace zentil
