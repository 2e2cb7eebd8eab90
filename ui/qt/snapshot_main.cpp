// zentil-snapshot: pictures of the window for the documentation. Run it under a
// real X server (xvfb-run) so the fonts render as a person sees them.
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStyleFactory>
#include <QTextStream>

#include "ui/qt/main_window.h"
#include "ui/qt/message_box.h"
#include "ui/qt/module1.h"
#include "ui/qt/spanish_texts.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  zentil::ui::qt::install_spanish_qt_texts(app);
  QTextStream err(stderr);
  const bool dialogs = argc == 3 && QByteArray(argv[2]) == "--dialogs";
  if (argc != 2 && !dialogs) {
    err << "Uso: zentil-snapshot CARPETA [--dialogs]\n";
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/");

  zentil::ui::qt::MainWindow window;
  // The window as it looks halfway through a run: every caption and both paths on show.
  window.set_text(zentil::ui::Box::Path, "/home/ana/kb/ventas/specs/");
  window.set_text(zentil::ui::Box::Dest, "/home/ana/informes/KBReport.csv");
  window.set_label(zentil::ui::Label::Status, "Procesando archivos.. Espere por favor.");
  window.set_label(zentil::ui::Label::Progress, "Archivos procesados: 120");
  window.show();
  QApplication::processEvents();

  bool ok = window.grab().save(folder + QStringLiteral("window.png"));
  if (dialogs) {
    // The two dialogs as the user meets them, shown without their modal loop.
    auto chooser =
        zentil::ui::qt::Module1::make_folder_dialog(&window, "Seleccione la carpeta de specs:");
    chooser->show();
    QApplication::processEvents();
    ok = chooser->grab().save(folder + QStringLiteral("chooser.png")) && ok;
    chooser->hide();
    auto box = zentil::ui::qt::make_message_box(&window, QStringLiteral("Zentil de la KB: 2,81"));
    box->show();
    QApplication::processEvents();
    ok = box->grab().save(folder + QStringLiteral("message.png")) && ok;
  }
  if (!ok) err << "No se pudieron guardar las imágenes en " << folder << "\n";
  return ok ? 0 : 1;
}
