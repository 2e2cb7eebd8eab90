// Module1: the folder chooser behind the window's two "..." buttons.
#pragma once

#include <QString>
#include <memory>

class QFileDialog;
class QWidget;

namespace zentil::ui::qt::Module1 {

// Shows a modal folder chooser over `owner` with `prompt` as its title, starting at the top of
// the file system every time. Returns the chosen folder's absolute path, with no separator
// added, or empty text when the user cancels.
QString BrowseForFolder(QWidget* owner, const QString& prompt);

// The chooser BrowseForFolder shows, set up but not yet open.
std::unique_ptr<QFileDialog> make_folder_dialog(QWidget* owner, const QString& prompt);

}  // namespace zentil::ui::qt::Module1
