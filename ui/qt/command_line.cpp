#include "ui/qt/command_line.h"

#include <QCommandLineParser>
#include <cstdio>

namespace zentil::ui::qt {

namespace {

constexpr const char* kHelp =
    "Uso: zentil [OPCIONES]\n"
    "\n"
    "Abre la ventana de Zentil, que mide una KB a partir de su carpeta de specs: elija la\n"
    "carpeta de specs y la carpeta del informe y pulse «Generar».\n"
    "\n"
    "Opciones:\n"
    "  -h, --help     Muestra esta ayuda y termina\n"
    "  -V, --version  Muestra la versión y termina\n"
    "\n"
    "Acepta además las opciones comunes de Qt, como -platform y -display. Para medir una KB\n"
    "sin ventana, use zentil-report.\n";

void print_usage_error(const char* what, const QString& argument) {
  std::fprintf(stderr, "zentil: %s: %s\nPruebe «zentil --help» para más información.\n", what,
               argument.toLocal8Bit().constData());
}

// Whether Qt may start and take its own options out of the arguments: not without a display,
// where only this program's options can be meant.
bool qt_may_start(const QStringList& arguments) {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    if (!qEnvironmentVariableIsEmpty(name)) return true;
  for (const QString& a : arguments)
    if (a == QLatin1String("-platform") || a == QLatin1String("--platform") ||
        a == QLatin1String("-display") || a == QLatin1String("--display"))
      return true;
  return false;
}

}  // namespace

std::optional<int> handle_command_line(const QStringList& arguments, bool qt_options_removed) {
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringList{QStringLiteral("V"), QStringLiteral("version")});
  parser.addOption(help);
  parser.addOption(version);
  const bool understood = parser.parse(arguments) && parser.positionalArguments().isEmpty();

  if (!understood) {
    if (!qt_options_removed && qt_may_start(arguments)) return std::nullopt;
    if (!parser.unknownOptionNames().isEmpty()) {
      const QString name = parser.unknownOptionNames().first();
      print_usage_error("opción desconocida", (name.size() == 1 ? "-" : "--") + name);
    } else if (!parser.positionalArguments().isEmpty()) {
      print_usage_error("argumento de más", parser.positionalArguments().first());
    } else {  // a value given to an option that takes none, such as --help=sí
      print_usage_error("argumentos no válidos", arguments.mid(1).join(QLatin1Char(' ')));
    }
    return 2;
  }
  if (parser.isSet(help)) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (parser.isSet(version)) {
    std::fputs("zentil " ZENTIL_VERSION "\n", stdout);
    return 0;
  }
  return std::nullopt;
}

}  // namespace zentil::ui::qt
