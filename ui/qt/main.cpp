// zentil: the window over the report run.
#include <QApplication>
#include <QStyleFactory>
#include <csignal>

#include "ui/qt/command_line.h"
#include "ui/qt/main_window.h"
#include "ui/qt/spanish_texts.h"
#include "ui/qt/window_icon.h"

int main(int argc, char** argv) {
  // A report that hits the file-size limit fails its write and is reported, not killed.
  std::signal(SIGXFSZ, SIG_IGN);
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  if (const auto code = zentil::ui::qt::handle_command_line(arguments, false)) return *code;

  QApplication app(argc, argv);
  if (const auto code = zentil::ui::qt::handle_command_line(QApplication::arguments(), true))
    return *code;
  QApplication::setApplicationName(QStringLiteral("Zentil"));
  // Ties the window to the installed desktop entry (its name and icon in docks and task bars).
  QGuiApplication::setDesktopFileName(QStringLiteral(ZENTIL_APP_ID));
  // One look everywhere: the layout's small sizes are checked against this style.
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setWindowIcon(zentil::ui::qt::window_icon());
  zentil::ui::qt::install_spanish_qt_texts(app);

  zentil::ui::qt::MainWindow window;
  window.show();
  return QApplication::exec();
}
