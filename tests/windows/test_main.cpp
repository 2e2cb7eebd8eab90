// main() of the test programs on Windows. A crash must fail the test: Wine would start its
// debugger and then end the program with 0, and Windows would wait on an error dialog.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

int main(int argc, char** argv) {
  // "--hold FILE EVENT": another program for the tests, which holds FILE open as a spreadsheet
  // holds the file it shows (reading and writing, sharing reads only), sets the inherited EVENT
  // and waits to be ended.
  // FILE is read from the wide command line, so that a name outside the code page arrives whole.
  if (argc == 4 && std::string_view(argv[1]) == "--hold") {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr || count != 4 ||
        CreateFileW(wide[2], GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                    0, nullptr) == INVALID_HANDLE_VALUE) {
      return 1;
    }
    SetEvent(reinterpret_cast<HANDLE>(std::strtoull(argv[3], nullptr, 10)));
    Sleep(INFINITE);
  }
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter([](EXCEPTION_POINTERS* crash) -> LONG {
    std::fprintf(stderr, "unhandled exception 0x%08lx\n", crash->ExceptionRecord->ExceptionCode);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
  });
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
