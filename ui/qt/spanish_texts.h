// Qt's own texts (the folder chooser's buttons and warnings, "Aceptar" in message boxes) in
// Spanish, like the rest of the program, whatever the user's locale.
#pragma once

class QCoreApplication;

namespace zentil::ui::qt {

// Installs Qt's Spanish translation into `app`. False when it is not installed on this system;
// Qt's texts then stay in English.
bool install_spanish_qt_texts(QCoreApplication& app);

}  // namespace zentil::ui::qt
