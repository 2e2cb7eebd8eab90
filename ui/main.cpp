// zentil: the window over the report run.
#include <QApplication>
#include <QStyleFactory>
#include <csignal>

#include "ui/frm_principal.h"
#include "ui/spanish_texts.h"
#include "ui/window_icon.h"

int main(int argc, char** argv) {
  // A report that hits the file-size limit fails its write and is reported, not killed.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zentil"));
  // One look everywhere: the layout's small sizes are checked against this style.
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setWindowIcon(zentil::ui::window_icon());
  zentil::ui::install_spanish_qt_texts(app);

  zentil::ui::frmPrincipal window;
  window.show();
  return QApplication::exec();
}
