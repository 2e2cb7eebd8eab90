#include "cli/windows_arguments.h"

namespace zentil {

std::optional<std::string> adapt_windows_arguments(std::vector<std::string>& args) {
  bool options = true;
  for (std::size_t i = 1; i < args.size(); ++i) {
    std::string& arg = args[i];
    if (arg.find('"') != std::string::npos) {
      return "zentil-report: el argumento «" + arg +
             "» tiene una comilla (\"): en Windows, una \\ justo antes de una comilla la "
             "vuelve parte del argumento.\n"
             "Escriba la carpeta sin la \\ final, \"C:\\Mi KB\\specs\", o con la \\ doble, "
             "\"C:\\Mi KB\\specs\\\\\".\n";
    }
    if (arg == "--") options = false;
    if (options && arg == "/?") arg = "--help";
  }
  return std::nullopt;
}

}  // namespace zentil
