#include "ui/qt/message_box.h"

#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

#include "ui/qt/dialog_seams.h"

namespace zentil::ui::qt {

std::unique_ptr<QMessageBox> make_message_box(QWidget* owner, const QString& text) {
  auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, QString::fromLatin1(kMessageTitle),
                                           text, QMessageBox::Ok, owner);
  // Paths are shown as typed: a "<" in a folder name is no markup.
  box->setTextFormat(Qt::PlainText);
  box->setWindowModality(Qt::ApplicationModal);
  box->button(QMessageBox::Ok)->setIcon(QIcon());  // some styles put one on the button

  return box;
}

void ShowMessage(QWidget* owner, const QString& text) {
  if (seams::record_message(QString::fromLatin1(kMessageTitle), text)) return;
  make_message_box(owner, text)->exec();
}

}  // namespace zentil::ui::qt
