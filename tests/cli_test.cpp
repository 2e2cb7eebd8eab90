// zentil-report as scripts use it: exit codes, standard output and error, the report.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "metrics/report_row.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace zentil {
namespace {

using testing::file_exists;
using testing::ProgramResult;
using testing::read_file;
using testing::run_program;
using testing::TempDir;

ProgramResult cli(std::vector<std::string> args, std::vector<std::string> env = {},
                  const std::string& cwd = "") {
  args.insert(args.begin(), ZENTIL_REPORT_BIN);
  env.insert(env.begin(), "LC_ALL=C.UTF-8");  // a test may override it
  return run_program(args, env, cwd);
}

struct CliTest : ::testing::Test {
  TempDir src;
  TempDir out;
  void SetUp() override {
    src.write("a.spc", "spec_i([ proc ])\r\nheader_i(1,title([]))\r\nv_i(&Variable)\r\n");
    src.write("b.spc", std::string(200, 'x') + "\r\n");
  }
};

TEST_F(CliTest, WritesTheReportAndPrintsTheTwoMessages) {
  const ProgramResult r = cli({src.path(), out / "r.csv"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "Cantidad de archivos procesados: 2\nZentil de la KB: 0.04\n");
  EXPECT_EQ(r.err, "");  // standard error is no terminal: no progress
  EXPECT_EQ(read_file(out / "r.csv"), std::string(kReportHeader) +
                                          "a.spc,3,57,0,0,0,0,0,1,0,0,0,1\r\n"
                                          "b.spc,1,202,0,0,0,0,0,0,0,0,0,0\r\n");
}

TEST_F(CliTest, AnyNumberOfJobsGivesTheSameReportAndMessages) {
  for (int i = 0; i < 25; ++i) {
    src.write("c" + std::to_string(i), "v_i(&Var" + std::to_string(i) + ")\r\n");
  }
  const ProgramResult first = cli({src.path(), out / "default.csv"});
  ASSERT_EQ(first.exit_code, 0) << first.err;
  for (const char* jobs : {"1", "2", "7", "1000"}) {
    const ProgramResult r = cli({"--jobs", jobs, src.path(), out / "r.csv"});
    EXPECT_EQ(r.exit_code, 0) << jobs << ": " << r.err;
    EXPECT_EQ(r.out, first.out) << jobs;
    EXPECT_EQ(read_file(out / "r.csv"), read_file(out / "default.csv")) << jobs;
  }
}

TEST_F(CliTest, DefaultReportIsKBReportInTheCurrentDirectory) {
  const ProgramResult r = cli({"--quiet", src.path()}, {}, out.path());
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_TRUE(file_exists(out / "KBReport.csv"));
}

TEST_F(CliTest, ScoreFollowsTheNumericLocale) {
  const ProgramResult probe = cli({src.path(), out / "r.csv"}, {"LC_ALL=es_ES.UTF-8"});
  if (probe.out.find("0.04") != std::string::npos) GTEST_SKIP() << "es_ES.UTF-8 not installed";
  EXPECT_EQ(probe.out, "Cantidad de archivos procesados: 2\nZentil de la KB: 0,04\n");
}

TEST_F(CliTest, ExitCodes) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int code;
    std::string err_start;
  };
  const std::vector<Case> cases = {
      {"empty source", {"", out / "r.csv"}, 2, "Seleccione la carpeta origen\n"},
      {"no arguments", {}, 2, "Uso: zentil-report"},
      {"unknown option", {"--frobnicate", src.path()}, 2, "Uso: zentil-report"},
      {"too many arguments", {src.path(), out / "r.csv", "extra"}, 2, "Uso: zentil-report"},
      {"no jobs", {"--jobs", "0", src.path(), out / "r.csv"}, 2, "Uso: zentil-report"},
      {"negative jobs", {"--jobs", "-2", src.path(), out / "r.csv"}, 2, "Uso: zentil-report"},
      {"jobs no number", {"-j", "dos", src.path(), out / "r.csv"}, 2, "Uso: zentil-report"},
      {"jobs missing", {src.path(), out / "r.csv", "--jobs"}, 2, "Uso: zentil-report"},
      {"missing folder", {src / "nope", out / "r.csv"}, 1,
       "zentil-report: La carpeta origen no existe: " + (src / "nope") + "\n"},
      {"report folder missing",
       {src.path(), out / "no/r.csv"},
       1,
       "zentil-report: No se pudo crear el informe " + (out / "no/r.csv") +
           ": No such file or directory\n"},
  };
  for (const auto& c : cases) {
    const ProgramResult r = cli(c.args);
    EXPECT_EQ(r.exit_code, c.code) << c.name;
    EXPECT_TRUE(r.err.starts_with(c.err_start)) << c.name << ": " << r.err;
    EXPECT_EQ(r.out, "") << c.name;
  }
  EXPECT_FALSE(file_exists(out / "r.csv"));
}

TEST_F(CliTest, HelpAndVersion) {
  const ProgramResult help = cli({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("Uso"), std::string::npos);
  EXPECT_NE(help.out.find("--quiet"), std::string::npos);
  EXPECT_NE(help.out.find("--jobs"), std::string::npos);
  for (const char* english :
       {"Usage", "Options", "OPTIONS", "Positionals", "REQUIRED", "TEXT", "POSITIVE"})
    EXPECT_EQ(help.out.find(english), std::string::npos) << english << " in\n" << help.out;
  const ProgramResult version = cli({"--version"});
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.out, "zentil-report " ZENTIL_VERSION "\n");
}

TEST_F(CliTest, FailedStandardOutputIsAFailure) {
  if (!file_exists("/dev/full")) GTEST_SKIP();
  const ProgramResult r = run_program({"/bin/sh", "-c",
                                       std::string(ZENTIL_REPORT_BIN) + " '" + src.path() + "' '" +
                                           (out / "r.csv") + "' > /dev/full"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("salida"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace zentil

namespace zentil {
namespace {

// Runs zentil-report with standard error on a pseudo-terminal; returns what the terminal got.
std::string terminal_stderr(const std::vector<std::string>& args) {
  int master = -1;
  const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    ::setenv("LC_ALL", "C.UTF-8", 1);
    std::vector<char*> argv{const_cast<char*>(ZENTIL_REPORT_BIN)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  std::string seen;
  char buffer[4096];
  for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;) seen.append(buffer, n);
  ::waitpid(pid, nullptr, 0);
  ::close(master);
  return seen;
}

TEST(CliTerminal, ProgressOnOneLineEveryTenFiles) {
  TempDir src, out;
  for (int i = 0; i < 23; ++i) src.write("f" + std::to_string(100 + i), "v_i(&x)\r\n");
  const std::string seen = terminal_stderr({src.path(), out / "r.csv"});
  // The terminal turns "\n" into "\r\n".
  EXPECT_EQ(seen,
            "\rArchivos procesados: 10\x1b[K\rArchivos procesados: 20\x1b[K"
            "\rArchivos procesados: 23\x1b[K\r\n");
  EXPECT_EQ(terminal_stderr({"--quiet", src.path(), out / "r.csv"}), "");
}

}  // namespace
}  // namespace zentil
