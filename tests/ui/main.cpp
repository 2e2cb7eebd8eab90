// The window's tests need a QApplication; without a display they use Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStyleFactory>

#include "ui/dialog_seams.h"
#include "ui/spanish_texts.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  if (!zentil::ui::install_spanish_qt_texts(app)) {
    qWarning("Qt's Spanish translation is missing: run scripts/install-deps.sh");
    return 1;
  }
  // A dialog no test answered would wait for a click forever: stop loudly instead.
  zentil::ui::seams::forbid_real_dialogs(true);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
