// The program's icon, from the images rendered from data/zentil.svg at build time.
#pragma once

#include <QIcon>

namespace zentil::ui::qt {

// The window's icon, with every rendered size (16 to 256 pixels).
QIcon window_icon();

}  // namespace zentil::ui::qt
