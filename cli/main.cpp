// zentil-report: measures a KB's spec folder from the command line, for scripts and CI.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <string>

#include "cli/cli_observer.h"
#include "platform/number_format.h"
#include "platform/posix_file_system.h"
#include "report/report_run.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr const char* kUsage = "Uso: zentil-report [--quiet] [--jobs N] CARPETA [INFORME]";

std::string default_report_path() {
  std::string cwd(4096, '\0');
  if (::getcwd(cwd.data(), cwd.size()) == nullptr) return "KBReport.csv";
  cwd.resize(cwd.find('\0'));
  return zentil::join_path(cwd, "KBReport.csv");
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");  // the system's reasons in the user's language
  // A report that hits the file-size limit fails its write and is reported, not killed.
  std::signal(SIGXFSZ, SIG_IGN);

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
  std::string report = default_report_path();
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
      "vacía.");

  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {
    return app.exit(e);
  } catch (const CLI::ParseError&) {
    std::fprintf(stderr, "%s\nPruebe «zentil-report --help» para más información.\n", kUsage);
    return kExitUsage;
  }

  zentil::RunSettings settings;
  settings.sourcePath = source;
  settings.reportPath = report;
  settings.decimalSeparator = zentil::user_decimal_separator();
  settings.jobs = jobs;

  zentil::PosixFileSystem fs;
  zentil::CliObserver observer(stdout, stderr, !quiet && ::isatty(STDERR_FILENO));
  const zentil::RunOutcome outcome = zentil::run_report(settings, fs, observer);

  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "zentil-report: no se pudo escribir la salida estándar\n");
    return kExitFailed;
  }
  switch (outcome.result) {
    case zentil::RunResult::Completed:
      return 0;
    case zentil::RunResult::NoSource:
      return kExitUsage;
    case zentil::RunResult::Failed:
      return kExitFailed;
  }
  return kExitFailed;
}
