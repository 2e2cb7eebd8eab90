#include "ui/qt/window_icon.h"

#include <QDirIterator>

namespace zentil::ui::qt {

QIcon window_icon() {
  QIcon icon;
  // Each image is added with the size read from its own header.
  for (QDirIterator it(QStringLiteral(":/icon")); it.hasNext();) icon.addFile(it.next());
  return icon;
}

}  // namespace zentil::ui::qt
