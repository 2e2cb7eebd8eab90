// The window's places and sizes are kept in twips, the unit the layout was drawn in; 15 twips
// make one logical pixel, and Qt's high-DPI scaling takes it from there.
#pragma once

#include <QRect>
#include <QSize>

namespace zentil::ui::qt {

inline constexpr int kTwipsPerPixel = 15;

constexpr int twips(int value) {
  return value / kTwipsPerPixel;
}

constexpr QRect twips_rect(int left, int top, int width, int height) {
  return QRect(twips(left), twips(top), twips(width), twips(height));
}

constexpr QSize twips_size(int width, int height) {
  return QSize(twips(width), twips(height));
}

}  // namespace zentil::ui::qt
