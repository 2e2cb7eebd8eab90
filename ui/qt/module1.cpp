#include "ui/qt/module1.h"

#include <QFileDialog>
#include <QFileInfo>

#include "ui/qt/dialog_seams.h"

namespace zentil::ui::qt::Module1 {

std::unique_ptr<QFileDialog> make_folder_dialog(QWidget* owner, const QString& prompt) {
  // A fresh dialog each time: it opens at "/" and never at the folder chosen before.
  auto dialog = std::make_unique<QFileDialog>(owner, prompt, QStringLiteral("/"));
  dialog->setFileMode(QFileDialog::Directory);
  dialog->setOption(QFileDialog::ShowDirsOnly, true);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setWindowModality(Qt::WindowModal);
  return dialog;
}

QString BrowseForFolder(QWidget* owner, const QString& prompt) {
  if (std::optional<QString> answer = seams::take_folder_answer(prompt)) return *answer;

  std::unique_ptr<QFileDialog> dialog = make_folder_dialog(owner, prompt);
  if (dialog->exec() != QDialog::Accepted) return {};
  const QStringList chosen = dialog->selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return {};
  // The dialog gives absolute paths; a relative one would silently depend on the current folder.
  const QString& folder = chosen.front();
  return QFileInfo(folder).isAbsolute() ? folder : QFileInfo(folder).absoluteFilePath();
}

}  // namespace zentil::ui::qt::Module1
