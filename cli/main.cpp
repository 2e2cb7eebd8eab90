// zentil-report: measures a KB's spec folder from the command line, for scripts and CI.
#include <CLI/CLI.hpp>
#include <atomic>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_observer.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/number_format.h"
#include "report/report_run.h"

#ifdef _WIN32
#include "platform/windows/wide_text.h"
#endif

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;  // 128 + SIGINT, as shells report a program ended by Ctrl+C
constexpr const char* kUsage = "Uso: zentil-report [--quiet] [--jobs N] CARPETA [INFORME]";

// `args` are the program's arguments in UTF-8, the program's name first.
int run(std::vector<std::string> args) {
  zentil::prepare_command_line_program();

  CLI::App app(
      "Mide una KB a partir de su carpeta de specs: escribe el informe CSV (una fila por "
      "archivo) e imprime la cantidad de archivos procesados y el Zentil de la KB.",
      "zentil-report");
  // Every word of the help in Spanish: the formatter's labels, and the group that the options
  // (help and version included, so set first) are listed under.
  app.get_formatter()->label("Usage", "Uso");
  app.get_formatter()->label("OPTIONS", "OPCIONES");
  app.get_formatter()->label("Positionals", "Argumentos");
  app.get_formatter()->label("REQUIRED", "(obligatoria)");
  app.option_defaults()->group("Opciones");
  app.set_help_flag("-h,--help", "Muestra esta ayuda y termina");
  app.set_version_flag("-V,--version", "zentil-report " ZENTIL_VERSION,
                       "Muestra la versión y termina");

  std::string source;
  std::string report = zentil::default_report_path();
  bool quiet = false;
  unsigned jobs = 0;  // one per core
  app.add_option("CARPETA", source, "Carpeta de specs")->required()->type_name("");
  app.add_option("INFORME", report,
                 "Archivo de informe (por omisión, KBReport.csv en la carpeta actual)")
      ->type_name("");
  app.add_flag("-q,--quiet", quiet, "No muestra el avance en la terminal");
  app.add_option("-j,--jobs", jobs,
                 "Archivos que se leen a la vez (por omisión, uno por núcleo; como máximo 32)")
      ->type_name("N")
      ->check(CLI::Validator(CLI::PositiveNumber).description(""));  // no "N:POSITIVE"
  app.footer(
      "Códigos de salida: 0 informe escrito; 1 la ejecución falló (el mensaje nombra el "
      "archivo y la causa; un informe anterior queda intacto); 2 uso incorrecto o carpeta "
      "vacía; 130 interrumpida con Ctrl+C (un informe anterior queda intacto).");

  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::Success& e) {
    // Help and version go through the console layer, which knows the terminal's encoding.
    std::ostringstream out, err;
    const int code = app.exit(e, out, err);
    zentil::write_text(stdout, out.str());
    zentil::write_text(stderr, err.str());
    return code;
  } catch (const CLI::ParseError&) {
    zentil::write_text(
        stderr, std::string(kUsage) + "\nPruebe «zentil-report --help» para más información.\n");
    return kExitUsage;
  }

  zentil::RunSettings settings;
  settings.sourcePath = source;
  settings.reportPath = report;
  settings.decimalSeparator = zentil::user_decimal_separator();
  settings.jobs = jobs;
  // Ctrl+C stops the run like the window's close: no half-written report, no temporary file.
  std::atomic<bool> stop{false};
  zentil::stop_on_interrupt(stop);
  settings.stop = &stop;

  const std::unique_ptr<zentil::FileSystem> fs = zentil::make_system_file_system();
  zentil::CliObserver observer(stdout, stderr, !quiet && zentil::is_terminal(stderr));
  const zentil::RunOutcome outcome = zentil::run_report(settings, *fs, observer);

  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    zentil::write_text(stderr, "zentil-report: no se pudo escribir la salida estándar\n");
    return kExitFailed;
  }
  switch (outcome.result) {
    case zentil::RunResult::Completed:
      return 0;
    case zentil::RunResult::NoSource:
      return kExitUsage;
    case zentil::RunResult::Failed:
      return kExitFailed;
    case zentil::RunResult::Stopped:
      zentil::write_text(stderr, "zentil-report: No se escribió el informe " + report +
                                     ": ejecución interrumpida\n");
      return kExitInterrupted;
  }
  return kExitFailed;
}

}  // namespace

#ifdef _WIN32
// Windows hands the arguments over as UTF-16, so that any folder name arrives intact.
int wmain(int argc, wchar_t** argv) {
  return run(zentil::utf8_arguments(argc, argv));
}
#else
int main(int argc, char** argv) {
  return run({argv, argv + argc});
}
#endif
