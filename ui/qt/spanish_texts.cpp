#include "ui/qt/spanish_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zentil::ui::qt {

bool install_spanish_qt_texts(QCoreApplication& app) {
  auto* translator = new QTranslator(&app);  // lives as long as the application
  if (!translator->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace zentil::ui::qt
