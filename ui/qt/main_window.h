// The program's only window on Linux: the ten controls drawn with Qt, over the window's logic
// (frmPrincipal), which it tells of every click and change and which tells it what to show.
#pragma once

#include <QWidget>
#include <array>
#include <memory>

#include "ui/form_layout.h"
#include "ui/form_view.h"
#include "ui/frm_principal.h"
#include "ui/label_pacer.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace zentil::ui::qt {

class InputBlock;

// The form's system as the Qt window sees it: boxes hold UTF-8 text, which reaches the file
// system in the bytes Qt names files with, whatever the locale; the separator is "/".
FormSystem form_system();

class MainWindow final : public QWidget, public FormView {
  Q_OBJECT

 public:
  explicit MainWindow(FormSystem system = form_system());
  ~MainWindow() override;

  const frmPrincipal& form() const { return *form_; }

  // FormView.
  std::string text(Box box) const override;
  void set_text(Box box, const std::string& text) override;
  void set_label(Label label, std::string_view text) override;
  void show_message(std::string_view text) override;
  std::string browse_for_folder(std::string_view prompt) override;
  void close() override;
  void post(std::function<void()> task) override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QLineEdit* box(Box box) const;
  QLabel* label(Label label) const;
  QPushButton* button(ControlIndex index) const;
  // Shows the text the label holds back (LabelPacer), if any, now.
  void show_held(Label which);

  std::array<QWidget*, kControls.size()> controls_{};  // in kControls' order, owned by the window
  std::array<LabelPacer, 2> pacers_;                   // Label1's and Label2's, by Label
  std::array<QTimer*, 2> label_timers_{};              // owned by the window
  std::unique_ptr<frmPrincipal> form_;
  std::unique_ptr<InputBlock> input_block_;  // destroyed first: it asks the form
};

// The window's font: small enough for every caption to fit the twip layout.
QFont window_font();

}  // namespace zentil::ui::qt
