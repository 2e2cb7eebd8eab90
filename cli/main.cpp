// zentil-report: measures a KB's spec folder from the command line, for scripts and CI.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/report_command.h"
#include "platform/console.h"
#include "report/archive.h"

#ifdef _WIN32
#include "cli/windows_arguments.h"
#include "platform/windows/wide_text.h"
#endif

namespace {

constexpr const char* kUsage = "Uso: zentil-report [--quiet] [--jobs N] CARPETA [INFORME]";

int usage_error() {
  zentil::write_text(
      stderr, std::string(kUsage) + "\nPruebe «zentil-report --help» para más información.\n");
  return zentil::kExitUsage;
}

// What is wrong with options that are read well but do not go together, or nothing; fills in
// the budget.
std::string misuse(zentil::ReportCommand& command, bool budget, const std::string& max_growth) {
  if (command.compare && !command.history.empty()) {
    return "--compare y --history no van juntas: la historia ya compara cada versión con la "
           "anterior";
  }
  if (budget) {
    command.max_growth = zentil::parse_growth_budget(max_growth);
    if (!command.max_growth) {
      return "--max-growth espera un número de líneas («100») o un porcentaje del total "
             "anterior («2.5%»), y es «" +
             max_growth + "»";
    }
    if (!command.compare && command.history.empty()) {
      return "--max-growth necesita --compare o --history, que dicen cuánto creció la KB";
    }
  }
  if (command.label) {
    if (command.label->empty()) return "la etiqueta de --label está vacía";
    if (const auto fault = zentil::label_fault(*command.label)) {
      return "la etiqueta «" + *command.label + "» lleva " + *fault +
             ", que un nombre de archivo no puede llevar en Windows o en Linux (ni < > : \" / "
             "\\ | ? * ni caracteres de control)";
    }
    if (!command.archive && (command.history.empty() || !command.source)) {
      return "--label da nombre a la versión que se mide: necesita --archive, o --history con "
             "una CARPETA que medir";
    }
  }
  if (command.archive && !command.source) {
    return "--archive guarda una copia del informe que se escribe, y sin CARPETA no se escribe "
           "ninguno";
  }
  if (command.html && command.report && *command.html == *command.report) {
    return "la página y el informe no pueden ser el mismo archivo: " + *command.html;
  }
  return {};
}

// `args` are the program's arguments in UTF-8, the program's name first.
int run(std::vector<std::string> args) {
  zentil::prepare_command_line_program();

  CLI::App app(
      "Mide una KB a partir de su carpeta de specs: escribe el informe CSV (una fila por "
      "archivo) e imprime la cantidad de archivos procesados y el Zentil de la KB. Puede "
      "mostrar dónde está el tamaño, qué cambió desde un informe anterior y cómo cambió a lo "
      "largo de sus versiones, guardar cada versión y poner un límite a su crecimiento.",
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

  zentil::ReportCommand command;
  std::string source, report, max_growth;
  app.add_option("CARPETA", source,
                 "Carpeta de specs; con --compare, también un informe guardado, que se compara "
                 "con ANTERIOR sin leer ninguna carpeta ni escribir ningún informe; con "
                 "--history puede faltar: entonces se dibuja la historia de los informes guardados")
      ->type_name("");
  app.add_option("INFORME", report,
                 "Archivo de informe (por omisión, KBReport.csv en la carpeta actual)")
      ->type_name("");
  app.add_flag("-q,--quiet", command.quiet, "No muestra el avance en la terminal");
  app.add_option("-j,--jobs", command.jobs,
                 "Archivos que se leen a la vez (por omisión, uno por núcleo; como máximo 32)")
      ->type_name("N")
      ->check(CLI::Validator(CLI::PositiveNumber).description(""));  // no "N:POSITIVE"
  app.add_flag("--summary", command.summary,
               "Tras los dos mensajes, el tamaño por tipo de objeto y los objetos más grandes");
  app.add_option("--compare", command.compare,
                 "Compara con un informe anterior (puede ser el mismo INFORME que se reemplaza: "
                 "se lee antes): el Zentil antes y ahora y los objetos agregados, quitados y "
                 "cambiados")
      ->type_name("ANTERIOR");
  app.add_option("--history", command.history,
                 "La historia de la KB: una carpeta de informes guardados (cada *.csv, en el "
                 "orden natural de sus etiquetas) o un informe guardado; se repite para dar "
                 "varios, en ese orden. Con CARPETA, el informe nuevo es la última versión")
      ->type_name("ORIGEN")
      ->allow_extra_args(false);  // one each time, so that CARPETA is never taken for one
  app.add_option("--archive", command.archive,
                 "Guarda una copia del informe nuevo en esa carpeta (que se crea si falta), "
                 "como <informe>-<ETIQUETA>.csv")
      ->type_name("CARPETA");
  app.add_option("--label", command.label,
                 "La etiqueta de la versión nueva (por omisión, en --archive la fecha "
                 "AAAA-MM-DD, con -2, -3, ... si ya hay una copia de ese día; en --history, "
                 "«actual»)")
      ->type_name("ETIQUETA");
  app.add_option("--max-growth", max_growth,
                 "Con --compare o --history: si el último paso hizo crecer las líneas efectivas "
                 "en más de N líneas (o del P % del total anterior), lo dice y sale con el "
                 "código 3")
      ->type_name("N|P%");
  app.add_flag("--json", command.json,
               "En lugar del texto, un documento JSON (UTF-8) en la salida estándar");
  app.add_option("--html", command.html,
                 "Escribe además una página autocontenida con las cifras y sus gráficos")
      ->type_name("PAGINA");
  app.add_option("--top", command.top, "Objetos de cada lista (por omisión, 10)")
      ->type_name("N")
      ->check(CLI::Validator(CLI::NonNegativeNumber).description(""));
  app.footer(
      "Códigos de salida: 0 informe escrito (o informes comparados); 1 la ejecución falló (el "
      "mensaje nombra el archivo y la causa; un informe anterior queda intacto); 2 uso "
      "incorrecto o carpeta vacía; 3 todo se escribió, pero la KB creció más que "
      "--max-growth; 130 interrumpida con Ctrl+C (un informe anterior queda intacto).");

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
    return usage_error();
  }
  const auto empty = [](const std::optional<std::string>& text) { return text && text->empty(); };
  if (empty(command.html) || empty(command.compare) || empty(command.archive) ||
      std::count(command.history.begin(), command.history.end(), "") > 0 ||
      (app.count("CARPETA") == 0 && command.history.empty())) {
    return usage_error();
  }
  if (app.count("CARPETA") > 0) command.source = source;
  if (app.count("INFORME") > 0) command.report = report;
  if (const std::string problem = misuse(command, app.count("--max-growth") > 0, max_growth);
      !problem.empty()) {
    zentil::write_text(stderr, "zentil-report: " + problem + "\n");
    return zentil::kExitUsage;
  }
  const int code = zentil::run_report_command(command);
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    zentil::write_text(stderr, "zentil-report: no se pudo escribir la salida estándar\n");
    return zentil::kExitFailed;
  }
  return code;
}

}  // namespace

#ifdef _WIN32
// Windows hands the arguments over as UTF-16, so that any folder name arrives intact.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args = zentil::utf8_arguments(argc, argv);
  if (const std::optional<std::string> error = zentil::adapt_windows_arguments(args)) {
    zentil::write_text(stderr, *error);
    return zentil::kExitUsage;
  }
  return run(std::move(args));
}
#else
int main(int argc, char** argv) {
  return run({argv, argv + argc});
}
#endif
