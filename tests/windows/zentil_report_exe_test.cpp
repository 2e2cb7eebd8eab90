// zentil-report.exe as a prompt or a script runs it: arguments in UTF-16, output redirected to
// files (in the ANSI code page, lines ended by CR LF, as there is no console), exit codes.
#include <gtest/gtest.h>
#include <windows.h>

#include "metrics/report_row.h"
#include "platform/windows/system_path.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/wide_text.h"
#include "support.h"

namespace zentil {
namespace {

using testing::read_file;
using testing::TempDir;

struct Ran {
  DWORD code = ~0ul;
  std::string out, err;
};

// Runs zentil-report.exe, which lies beside this program, in `dir` and without a console.
Ran run_exe(const std::vector<std::string>& args, const TempDir& dir) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring line = L"\"" + folder_of(self) + L"\\zentil-report.exe\"";
  for (const std::string& a : args) line += L" \"" + to_wide(a) + L"\"";  // none ends with "\"
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
  const std::vector<Case> cases = {
      {{src, report}, 0, "Cantidad de archivos procesados: 1\r\nZentil de la KB: 0.01\r\n", ""},
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
  // Help in the code page; the report by default in the current folder.
  EXPECT_NE(run_exe({"--help"}, dir).out.find("como m\xE1ximo 32"), std::string::npos);
  EXPECT_EQ(run_exe({src}, dir).code, 0u);
  EXPECT_EQ(read_file(dir / "KBReport.csv"), read_file(report));
}

}  // namespace
}  // namespace zentil
