#include "ui/window_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace zentil::ui {

QImage draw_icon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  // Drawn on a 32-unit grid so that the 32 pixel image lands on whole pixels.
  const qreal u = size / 32.0;

  QLinearGradient tile(0, 0, 0, size);
  tile.setColorAt(0, QColor(0x1f, 0x4e, 0x8c));
  tile.setColorAt(1, QColor(0x10, 0x2a, 0x52));
  QPainterPath rounded;
  rounded.addRoundedRect(QRectF(u, u, 30 * u, 30 * u), 6 * u, 6 * u);
  p.fillPath(rounded, tile);

  // Three rising bars on a base line; the last and tallest one in amber.
  const QColor bar(0xe8, 0xee, 0xf6);
  p.fillRect(QRectF(6 * u, 17 * u, 5 * u, 8 * u), bar);
  p.fillRect(QRectF(13 * u, 12 * u, 5 * u, 13 * u), bar);
  p.fillRect(QRectF(20 * u, 6 * u, 5 * u, 19 * u), QColor(0xf2, 0xa9, 0x00));
  p.fillRect(QRectF(5 * u, 25 * u, 22 * u, 2 * u), bar);
  return image;
}

QIcon window_icon() {
  QIcon icon;
  for (int size : {16, 32, 48, 256}) icon.addPixmap(QPixmap::fromImage(draw_icon(size)));
  return icon;
}

}  // namespace zentil::ui
