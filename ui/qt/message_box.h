// The program's message boxes: modal, titled "Zentil", no icon, an OK button only.
#pragma once

#include <QString>
#include <memory>

class QMessageBox;
class QWidget;

namespace zentil::ui::qt {

inline constexpr const char* kMessageTitle = "Zentil";

// Shows `text` over `owner` and returns when the user has closed the box.
void ShowMessage(QWidget* owner, const QString& text);

// The box ShowMessage shows, set up but not yet open.
std::unique_ptr<QMessageBox> make_message_box(QWidget* owner, const QString& text);

}  // namespace zentil::ui::qt
