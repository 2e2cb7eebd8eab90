// The program's icon, drawn in code: a dark tile with rising bars, the size of a KB counted up.
#pragma once

#include <QIcon>
#include <QImage>

namespace zentil::ui {

// The icon at `size` by `size` pixels.
QImage draw_icon(int size);

// The window's icon, with the 16, 32, 48 and 256 pixel images.
QIcon window_icon();

}  // namespace zentil::ui
