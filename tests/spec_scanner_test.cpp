// The scanner: line ends, the 21 rules in their order, the kinds, level names and table
// attributes of transaction specs.
#include "metrics/spec_scanner.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace zentil {
namespace {

struct Scan {
  FileMetrics m;
  SpecKind kind;
};

Scan scan_whole(std::string_view bytes) {
  SpecScanner s;
  s.begin();
  s.feed(bytes);
  s.finish();
  return {s.metrics(), s.kind()};
}

Scan scan_in_chunks(std::string_view bytes, std::size_t chunk) {
  SpecScanner s;
  s.begin();
  for (std::size_t i = 0; i < bytes.size(); i += chunk) s.feed(bytes.substr(i, chunk));
  s.finish();
  return {s.metrics(), s.kind()};
}

// Joins lines with CR LF after each.
std::string crlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  return text;
}

// ---- line ends ---------------------------------------------------------------------------

TEST(LineEnds, CountLinesLongerThanTenCharacters) {
  struct Case {
    const char* name;
    std::string bytes;
    std::int64_t lines;
  };
  const std::vector<Case> cases = {
      {"empty file", "", 0},
      {"ten characters do not count", "0123456789\r\n", 0},
      {"eleven characters count", "01234567890\r\n", 1},
      {"CR alone ends a line", "01234567890\r01234567890\r", 2},
      {"CR LF ends a line", "01234567890\r\n01234567890\r\n", 2},
      {"lone LF is no line end", "012345\n6789\r\n", 1},
      {"lone LF keeps the line whole", "01234\n01234\n01234", 1},
      {"last line without terminator", "01234567890\r\n01234567890", 2},
      {"CR CR gives an empty line between", "01234567890\r\r01234567890", 2},
      {"LF after CR LF starts the next line", "0123456789\r\n\n012345678", 0},
      {"LF after CR LF is a character", "0123456789\r\n\n0123456789", 1},
      {"only terminators", "\r\n\r\n\r", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(scan_whole(c.bytes).m.lineCount, c.lines) << c.name;
  }
}

TEST(LineEnds, ResultsDoNotDependOnChunking) {
  const std::string text =
      "spec_i([ trn, 'x' ])\r\nlevel_i(Cli,1,'Cli')\rtable_i(Cli,'Cli',[a,b,c],[a])\r\n"
      "b_line_i(1,cmd,'x')\n\r\nrule_i(1,rule([a]))\r\r\nv_i(&a)\r\n\r\ntitle([]) x\rz";
  const Scan whole = scan_whole(text);
  for (std::size_t chunk = 1; chunk <= text.size(); ++chunk) {
    const Scan cut = scan_in_chunks(text, chunk);
    EXPECT_EQ(cut.m, whole.m) << "chunk " << chunk;
    EXPECT_EQ(cut.kind, whole.kind) << "chunk " << chunk;
  }
}

// Line ends and "title([])" at every place of the 64-byte blocks the splitter works in, fed
// whole and in chunks around a block's size, give the counts of the same lines classified one
// by one.
TEST(LineEnds, SplittingMatchesLineByLineAcrossBlocks) {
  const std::vector<std::string> facts = {
      "v_i(&", "attri_i(", "map_i(", "x", "", "p(title([]),", "rule_i(1,rule([a]),", "q(a])"};
  const std::vector<std::string> ends = {"\r\n", "\r", "\n\r", "\r\r\n"};
  std::string text;
  for (std::size_t i = 0; i < 300; ++i) {
    text += facts[i % facts.size()] + std::string(i % 131, 'a');
    if (i % 7 == 3) text += "title([])";  // the "]" at the line's very end
    if (i % 11 == 5) text += "]x";
    text += ends[i % ends.size()];
  }
  text += "v_i(&last line without an end";

  SpecScanner one_by_one;
  one_by_one.begin();
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') continue;
    one_by_one.scan_line(std::string_view(text).substr(start, i - start));
    start = i + 1 < text.size() && text[i + 1] == '\n' ? i + 2 : i + 1;
  }
  one_by_one.scan_line(std::string_view(text).substr(start));
  one_by_one.finish();

  for (const std::size_t chunk : {1u, 2u, 63u, 64u, 65u, 127u, 128u, 129u, 1000u, 100000u}) {
    EXPECT_EQ(scan_in_chunks(text, chunk).m, one_by_one.metrics()) << "chunk " << chunk;
  }
}

TEST(LineEnds, CrAtChunkEndThenLfStartsNoExtraLine) {
  SpecScanner s;
  s.begin();
  s.feed("attri_i(a,b)\r");
  s.feed("\nattri_i(c,d)\r");
  s.feed("\n");
  s.finish();
  EXPECT_EQ(s.metrics().attributesTotal, 2);
  EXPECT_EQ(s.metrics().lineCount, 2);
}

// ---- one rule per line -------------------------------------------------------------------

// A line's effect on the counters, beyond lineCount.
struct RuleCase {
  const char* line;
  std::int64_t FileMetrics::*field;  // nullptr: no counter but lineCount changes
  std::int64_t line_delta;           // lineCount change, step 5 included
};

TEST(Rules, EachLineRaisesAtMostOneCounter) {
  const std::vector<RuleCase> cases = {
      {"v_i(&Cliente,char(20))", &FileMetrics::vars, 1},
      {"V_I(&x)", &FileMetrics::vars, 0},
      {"subview_i(1,'Principal')", nullptr, 0},
      {"subview_i(", nullptr, -1},
      {"map_i(1,0)", nullptr, -1},
      {"MAP_I(1,0,0,0,0)", nullptr, 0},
      {"std_color_i(1,black)", nullptr, 0},
      {"a_alias_i(x)", nullptr, 0},
      {"a_alias_i(", nullptr, -1},
      {"calling_main_i(no)", nullptr, 0},
      {"calling_main_ix", nullptr, 0},
      {"b_line_i(1,cmd,'Confirmar')", &FileMetrics::commands, 1},
      {"B_LINE_I(1,CMD,'x')", &FileMetrics::commands, 1},
      {"b_line_i(1,label,'Cancelar')", nullptr, 1},
      {"b_line_i(1,title([]),cmd,x)", &FileMetrics::commands, 1},
      {"b_line_i(1,cmd ,'x')", nullptr, 1},
      {"table_i(Cli,'Cli',[a])", &FileMetrics::tablesTotal, 1},
      {"Table_I(Cli)", &FileMetrics::tablesTotal, 1},
      {"table_ixyz", &FileMetrics::tablesTotal, 0},
      {"tbl_to_delete_i(Cli)", &FileMetrics::deleteControls, 1},
      {"attri_i('CliId',x)", nullptr, 1},
      {"attri_i(CliId,'Cli')", &FileMetrics::attributesTotal, 1},
      {"ATTRI_I(x)", &FileMetrics::attributesTotal, 0},
      {"att_prop_i(CliId,nullable)", &FileMetrics::attributeProperties, 1},
      {"tbl_att_prop_i(Cli,a,b)", &FileMetrics::tableAttributeProperties, 1},
      {"level_i(Cli,1,'Cli')", &FileMetrics::levels, 1},
      {"rule_i(0,prop(a,b,c))", &FileMetrics::propertyRules, 1},
      {"rule_i(0,prop(a),rule([x]))", &FileMetrics::propertyRules, 1},
      {"rule_i(0,datastore(Default,Cli))", &FileMetrics::datastoreRules, 1},
      {"rule_i(1,rule([error]))", &FileMetrics::rules, 1},
      {"RULE_I(1,RULE([x]))", &FileMetrics::rules, 1},
      {"rule_i(1,msg('x'))", nullptr, 1},
      {"rule_i(1,rule ([x]))", nullptr, 1},
      // Rule 17: "title([])" past the first character, unless an earlier rule took the line.
      {"header_i(1,title([]),'x')", nullptr, 1},  // printBlocks, cleared at the end (kind O)
      {"title([]) at the start", nullptr, 1},
      {"v_i(title([]))", &FileMetrics::vars, 1},
      {"attri_i('a',title([]))", nullptr, 1},
      {"tbl_att_prop_i(title([]))", &FileMetrics::tableAttributeProperties, 1},
      {"level_i(a,TITLE([]))", nullptr, 1},
      {"rule_i(1,rule([a]),title([]))", nullptr, 1},
      // Near misses.
      {"v_i", nullptr, 0},
      {" v_i(x) indented", nullptr, 1},
      {"spec_i([ xyz ])", nullptr, 1},
      {"levelx_i(a,b,c)", nullptr, 1},
      {"rules_i(a,b,c)", nullptr, 1},
  };
  const std::vector<std::int64_t FileMetrics::*> all = {&FileMetrics::tablesTotal,
                                                        &FileMetrics::attributesTotal,
                                                        &FileMetrics::deleteControls,
                                                        &FileMetrics::tableAttributes,
                                                        &FileMetrics::attributeProperties,
                                                        &FileMetrics::tableAttributeProperties,
                                                        &FileMetrics::printBlocks,
                                                        &FileMetrics::levels,
                                                        &FileMetrics::levelTables,
                                                        &FileMetrics::rules,
                                                        &FileMetrics::datastoreRules,
                                                        &FileMetrics::propertyRules,
                                                        &FileMetrics::commands,
                                                        &FileMetrics::vars,
                                                        &FileMetrics::fileSize};
  for (const auto& c : cases) {
    const Scan r = scan_whole(std::string(c.line) + "\r\n");
    EXPECT_EQ(r.m.lineCount, c.line_delta) << c.line;
    for (const auto field : all) {
      EXPECT_EQ(r.m.*field, field == c.field ? 1 : 0) << c.line;
    }
  }
}

TEST(Rules, PrintBlocksNeedAProcedureOrReportAtTheEnd) {
  const std::string blocks = "header_i(1,title([]))\r\nfooter_i(2,Title([]))\r\n";
  struct Case {
    std::string head;
    std::string tail;
    SpecKind kind;
    std::int64_t print_blocks;
  };
  const std::vector<Case> cases = {
      {"", "", SpecKind::None, 0},
      {"spec_i([ trn, 'a' ])\r\n", "", SpecKind::Transaction, 0},
      {"spec_i([ proc, 'a' ])\r\n", "", SpecKind::Procedure, 2},
      {"SPEC_I([ RPT, 'a' ])\r\n", "", SpecKind::Report, 2},
      {"spec_i([ trn ])\r\n", "spec_i([ proc ])\r\n", SpecKind::Procedure, 2},
      {"spec_i([ rpt ])\r\n", "spec_i([ trn ])\r\n", SpecKind::Transaction, 0},
      {"spec_i([trn])\r\n", "", SpecKind::None, 0},
  };
  for (const auto& c : cases) {
    const Scan r = scan_whole(c.head + blocks + c.tail);
    EXPECT_EQ(r.kind, c.kind) << c.head << c.tail;
    EXPECT_EQ(r.m.printBlocks, c.print_blocks) << c.head << c.tail;
  }
}

TEST(Rules, ShortPresentationLinesMakeLineCountNegative) {
  const Scan r = scan_whole("map_i(1,2)\r\nmap_i(1)\r\nsubview_i(\r\n0123456789A\r\n");
  EXPECT_EQ(r.m.lineCount, -2);
  EXPECT_EQ(effective_lines(r.m), -2);
}

TEST(Rules, AttributePropertiesCancelTheirOwnLines) {
  const Scan r = scan_whole(crlf({"att_prop_i(a,nullable,no)", "tbl_att_prop_i(t,a,auto)",
                                  "rule_i(0,prop(a,ro,yes))", "rule_i(0,datastore(d,t))"}));
  EXPECT_EQ(r.m.lineCount, 4);
  EXPECT_EQ(effective_lines(r.m), 0);
}

TEST(Rules, BeginResetsEverythingBetweenFiles) {
  SpecScanner s;
  s.begin();
  s.feed("spec_i([ proc ])\r\nheader_i(title([]))\r\nv_i(&a)\r\npartial line");
  s.finish();
  ASSERT_EQ(s.kind(), SpecKind::Procedure);
  s.begin();
  s.finish();
  EXPECT_EQ(s.metrics(), FileMetrics{});
  EXPECT_EQ(s.kind(), SpecKind::None);
}

// ---- transaction specs: level names and table attributes ---------------------------------

struct TransactionCase {
  const char* name;
  std::vector<std::string> lines;
  std::int64_t levels, level_tables, tables, table_attributes;
};

TEST(Transactions, LevelNamesAndTableAttributes) {
  const std::string trn = "spec_i([ trn, 'Cli' ])";
  const std::vector<TransactionCase> cases = {
      {"three attributes", {trn, "level_i(Cli,1)", "table_i(Cli,'Cli',[a,b,c],[a])"}, 1, 1, 1, 3},
      {"one attribute", {trn, "level_i(Cli,1)", "table_i(Cli,'Cli',[a])"}, 1, 1, 1, 1},
      {"empty list counts one", {trn, "level_i(Cli,1)", "table_i(Cli,'Cli',[])"}, 1, 1, 1, 1},
      {"no ',[ after the name", {trn, "level_i(Cli,1)", "table_i(Cli,Cli,[a,b])"}, 1, 1, 1, 0},
      {"no ] after ',[", {trn, "level_i(Cli,1)", "table_i(Cli,'Cli',[a,b"}, 1, 1, 1, 0},
      {"other letter case", {trn, "level_i(Cli,1)", "table_i(CLI,'Cli',[a,b])"}, 1, 1, 1, 0},
      {"two equal levels count twice",
       {trn, "level_i(Cli,1)", "level_i(Cli,2)", "table_i(Cli,'Cli',[a,b])"},
       2,
       2,
       1,
       4},
      {"table before the kind line",
       {"level_i(Cli,1)", "table_i(Cli,'Cli',[a,b])", trn},
       1,
       0,
       1,
       0},
      {"level before the kind line",
       {"level_i(Cli,1)", trn, "table_i(Cli,'Cli',[a,b])"},
       1,
       0,
       1,
       0},
      {"no kind at all", {"level_i(Cli,1)", "table_i(Cli,'Cli',[a,b])"}, 1, 0, 1, 0},
      {"procedure", {"spec_i([ proc ])", "level_i(Cli,1)", "table_i(Cli,'Cli',[a])"}, 1, 0, 1, 0},
      {"kind changes midway",
       {trn, "level_i(Cli,1)", "spec_i([ rpt ])", "table_i(Cli,'Cli',[a])"},
       1,
       1,
       1,
       0},
      {"level without comma captures nothing",
       {trn, "level_i(Cli)", "table_i(Cli,'Cli',[a])"},
       1,
       0,
       1,
       0},
      {"empty level name matches empty table name",
       {trn, "level_i(,1)", "table_i(,'x',[a,b,c])"},
       1,
       1,
       1,
       3},
      {"table without ( or ,", {trn, "level_i(Cli,1)", "table_i Cli 'Cli',[a]"}, 1, 1, 1, 0},
      {"table name from the first ( of the line",
       {trn, "level_i(Cli,1)", "table_iX x(Cli,'Cli',[a,b])"},
       1,
       1,
       1,
       2},
      {"list is after the comma that ends the name",
       {trn, "level_i(Cli,1)", "table_i(Cli,'x',[a],'y',[b,c,d])"},
       1,
       1,
       1,
       1},
      {"commas inside nested brackets count",
       {trn, "level_i(Cli,1)", "table_i(Cli,'x',[f(a,b),c])"},
       1,
       1,
       1,
       3},
      {"several tables",
       {trn, "level_i(A,1)", "level_i(B,2)", "table_i(A,'A',[x,y])", "table_i(B,'B',[x])",
        "table_i(C,'C',[x,y,z])"},
       2,
       2,
       3,
       3},
      // A "?" inside a level name splits it: the pieces push later names beyond the count.
      {"question mark splits a name",
       {trn, "level_i(a?b,1)", "level_i(Cli,2)", "table_i(b,'b',[x,y])", "table_i(Cli,'c',[x])"},
       2,
       2,
       2,
       2},
      {"question mark in table name never matches",
       {trn, "level_i(a?b,1)", "table_i(a?b,'t',[x])"},
       1,
       1,
       1,
       0},
      {"level with title([]) is a print block",
       {trn, "level_i(Cli,title([]))", "table_i(Cli,'Cli',[a])"},
       0,
       0,
       1,
       0},
  };
  for (const auto& c : cases) {
    const Scan r = scan_whole(crlf(c.lines));
    EXPECT_EQ(r.m.levels, c.levels) << c.name;
    EXPECT_EQ(r.m.levelTables, c.level_tables) << c.name;
    EXPECT_EQ(r.m.tablesTotal, c.tables) << c.name;
    EXPECT_EQ(r.m.tableAttributes, c.table_attributes) << c.name;
  }
}

TEST(Transactions, CountsGoOnPast32767) {
  std::string text = "spec_i([ trn ])\r\n";
  for (int i = 0; i < 40000; ++i) text += "level_i(L,1)\r\nv_i(&x)\r\n";
  text += "table_i(L,'L',[a,b])\r\n";
  const Scan r = scan_whole(text);
  EXPECT_EQ(r.m.vars, 40000);
  EXPECT_EQ(r.m.levelTables, 40000);
  EXPECT_EQ(r.m.tableAttributes, 80000);
}

// ---- reading a file ----------------------------------------------------------------------

class ChunkedFile final : public InputFile {
 public:
  ChunkedFile(std::string bytes, std::size_t fail_at)
      : bytes_(std::move(bytes)), fail_at_(fail_at) {}
  Result<std::size_t> read(std::span<char> buffer) override {
    if (pos_ >= fail_at_) return Error{"No se pudo leer el archivo x: Input/output error"};
    const std::size_t n = std::min({buffer.size(), bytes_.size() - pos_, fail_at_ - pos_});
    std::copy_n(bytes_.data() + pos_, n, buffer.data());
    pos_ += n;
    return n;
  }
  Result<std::int64_t> size() override { return static_cast<std::int64_t>(bytes_.size()); }

 private:
  std::string bytes_;
  std::size_t fail_at_;
  std::size_t pos_ = 0;
};

TEST(ScanFile, ReadErrorIsNoEndOfFile) {
  ChunkedFile file("v_i(&a)\r\nv_i(&b)\r\n", 5);
  SpecScanner scanner;
  std::vector<char> buffer(4);
  const Status s = scan_spec_file(file, scanner, buffer);
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error().message, "No se pudo leer el archivo x: Input/output error");
}

TEST(ScanFile, SmallBufferGivesTheSameCounts) {
  const std::string text = crlf({"spec_i([ trn ])", "level_i(Abc,1)", "table_i(Abc,'x',[a,b,c])",
                                 "b_line_i(cmd,1)", "a long line without a rule at all"});
  ChunkedFile file(text, std::string::npos);
  SpecScanner scanner;
  std::vector<char> buffer(3);
  ASSERT_TRUE(scan_spec_file(file, scanner, buffer).ok());
  EXPECT_EQ(scanner.metrics(), scan_whole(text).m);
}

}  // namespace
}  // namespace zentil

namespace zentil {
namespace {

// ---- lines too long to hold --------------------------------------------------------------

// Random spec text built from the pieces the rules look at, so that long lines meet every rule,
// every search across every seam, and level and table lines with names and lists of any length.
std::string random_spec(std::mt19937& rng) {
  static const std::vector<std::string> pieces = {"spec_i([ trn",
                                                  "spec_i([ proc",
                                                  "level_i(",
                                                  "table_i(",
                                                  "v_i(",
                                                  "b_line_i",
                                                  "rule_i(",
                                                  "rule_i(0,prop(",
                                                  "attri_i('",
                                                  "attri_i(",
                                                  "title([])",
                                                  "TITLE([])",
                                                  "cmd,",
                                                  ",rule([",
                                                  "',[",
                                                  "]",
                                                  "(",
                                                  ",",
                                                  "?",
                                                  "'",
                                                  "[",
                                                  "Cli",
                                                  "cli",
                                                  "x",
                                                  "abcdefghij",
                                                  "\r\n",
                                                  "\r",
                                                  "\n",
                                                  std::string(70, 'y'),
                                                  std::string(200, ','),
                                                  "map_i(",
                                                  "tbl_att_prop_i",
                                                  "\r\nlevel_i(Cli,",
                                                  "\r\ntable_i(Cli,'t',[",
                                                  "\r\ntable_i(Cli,'t',[a,b]"};
  std::string text = rng() % 2 ? "spec_i([ trn ])\r\nlevel_i(Cli,1)\r\n" : "";
  const int count = std::uniform_int_distribution<int>(0, 120)(rng);
  for (int i = 0; i < count; ++i) {
    text += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(rng)];
  }
  return text;
}

Scan scan_streaming(std::string_view bytes, std::size_t long_line, std::mt19937& rng) {
  SpecScanner s(long_line);
  s.begin();
  while (!bytes.empty()) {
    const std::size_t n =
        std::min(bytes.size(), std::uniform_int_distribution<std::size_t>(1, 90)(rng));
    s.feed(bytes.substr(0, n));
    bytes.remove_prefix(n);
  }
  s.finish();
  return {s.metrics(), s.kind()};
}

TEST(LongLines, StreamingGivesTheCountsOfTheWholeLine) {
  std::mt19937 rng(20261206);
  for (int round = 0; round < 6000; ++round) {
    const std::string text = random_spec(rng);
    const Scan whole = scan_whole(text);
    const std::size_t hold = SpecScanner::kMinLongLine + round % 50;
    const Scan streamed = scan_streaming(text, hold, rng);
    ASSERT_EQ(streamed.m, whole.m) << "round " << round << ", hold " << hold << ": " << text;
    ASSERT_EQ(streamed.kind, whole.kind) << "round " << round;
  }
}

TEST(LongLines, TransactionLinesLongerThanTheHold) {
  const std::string filler(500, 'z');
  const std::string text = "spec_i([ trn ])\r\nlevel_i(" + filler + "Cli,1," + filler +
                           ")\r\nlevel_i(Abc,2)\r\ntable_i(" + filler + "Cli,'" + filler +
                           "',[a,b," + filler + ",c]" + filler + ")\r\ntable_i(Abc" + filler +
                           ",'x',[a,b])\r\nb_line_i(" + filler + "cmd," + filler + ")\r\n";
  std::mt19937 rng(7);
  const Scan streamed = scan_streaming(text, SpecScanner::kMinLongLine, rng);
  EXPECT_EQ(streamed.m, scan_whole(text).m);
  EXPECT_EQ(streamed.m.levelTables, 2);
  EXPECT_EQ(streamed.m.tableAttributes, 4);
  EXPECT_EQ(streamed.m.commands, 1);
}

}  // namespace
}  // namespace zentil
