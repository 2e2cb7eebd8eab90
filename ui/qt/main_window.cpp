#include "ui/qt/main_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/qt/input_block.h"
#include "ui/qt/message_box.h"
#include "ui/qt/module1.h"
#include "ui/qt/twips.h"
#include "ui/qt/window_icon.h"

namespace zentil::ui::qt {
namespace {

QString from_utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QWidget* make_control(QWidget* parent, const ControlLayout& layout) {
  const QString caption = from_utf8(layout.caption);
  QWidget* control = nullptr;
  switch (layout.kind) {
    case ControlKind::Label: {
      auto* label = new QLabel(caption, parent);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setFocusPolicy(Qt::NoFocus);
      control = label;
      break;
    }
    case ControlKind::TextBox:
      control = new QLineEdit(caption, parent);
      break;
    case ControlKind::Button: {
      auto* button = new QPushButton(caption, parent);
      // Enter and Escape belong to no button: neither starts a run nor ends the program.
      button->setAutoDefault(false);
      button->setDefault(false);
      button->setFocusPolicy(Qt::StrongFocus);
      control = button;
      break;
    }
  }
  control->setObjectName(from_utf8(layout.name));
  control->setGeometry(twips_rect(layout.left, layout.top, layout.width, layout.height));
  return control;
}

}  // namespace

FormSystem form_system() {
  FormSystem system = FormSystem::native();
  system.separator = std::string(1, '/');  // Qt names folders with "/"
  system.current_directory = [] { return QDir::currentPath().toStdString(); };
  system.to_core_path = [](const std::string& text) {
    return QFile::encodeName(QString::fromStdString(text)).toStdString();
  };
  return system;
}

QFont window_font() {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(11);  // 8 points at 96 dots per inch
  font.setStyleHint(QFont::SansSerif);
  return font;
}

MainWindow::MainWindow(FormSystem system) {
  setObjectName(QStringLiteral("frmPrincipal"));
  setWindowTitle(from_utf8(kWindowCaption));
  setWindowIcon(window_icon());
  setFont(window_font());
  setFixedSize(twips_size(kClientWidthTwips, kClientHeightTwips));
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    controls_[i] = make_control(this, kControls[i]);
    // Focus moves in the order of the list; the labels take none and are passed over.
    if (i > 0) setTabOrder(controls_[i - 1], controls_[i]);
  }
  // For a screen reader: each box is named by its caption (a label's buddy; without an "&" in
  // the caption no key goes with it), and a "..." button says which folder it chooses.
  for (const BoxCaption& caption : kBoxCaptions) {
    static_cast<QLabel*>(controls_[caption.label])->setBuddy(controls_[caption.box]);
  }
  for (const ButtonHelp& help : kButtonHelp) {
    controls_[help.button]->setAccessibleName(from_utf8(help.name));
    controls_[help.button]->setAccessibleDescription(from_utf8(help.description));
  }

  form_ = std::make_unique<frmPrincipal>(*this, std::move(system));
  input_block_ = std::make_unique<InputBlock>(*this, [this] { return form_->running(); });
  connect(box(Box::Path), &QLineEdit::textChanged, this, [this] { form_->txtPath_Change(); });
  connect(box(Box::Dest), &QLineEdit::textChanged, this, [this] { form_->txtDest_Change(); });
  connect(button(kCmdAbrir), &QPushButton::clicked, this, [this] { form_->cmdAbrir_Click(); });
  connect(button(kCmdDest), &QPushButton::clicked, this, [this] { form_->CmdDest_Click(); });
  connect(button(kCmdGenerar), &QPushButton::clicked, this, [this] { form_->cmdGenerar_Click(); });
  connect(button(kCmdSalir), &QPushButton::clicked, this, [this] { form_->cmdSalir_Click(); });

  box(Box::Path)->setFocus(Qt::OtherFocusReason);
}

MainWindow::~MainWindow() = default;

QLineEdit* MainWindow::box(Box box) const {
  return static_cast<QLineEdit*>(controls_[box == Box::Path ? kTxtPath : kTxtDest]);
}

QLabel* MainWindow::label(Label label) const {
  return static_cast<QLabel*>(controls_[label == Label::Status ? kLabel1 : kLabel2]);
}

QPushButton* MainWindow::button(ControlIndex index) const {
  return static_cast<QPushButton*>(controls_[index]);
}

std::string MainWindow::text(Box which) const {
  return box(which)->text().toStdString();
}

void MainWindow::set_text(Box which, const std::string& text) {
  box(which)->setText(QString::fromStdString(text));
}

void MainWindow::set_label(Label which, std::string_view text) {
  // Painted on the event loop's next turn, with the latest text. A paint for every change (a
  // run of small files sets the progress line thousands of times a second) kept the loop so
  // busy that the window answered the system a second late.
  label(which)->setText(from_utf8(text));
}

void MainWindow::show_message(std::string_view text) {
  ShowMessage(this, from_utf8(text));
}

std::string MainWindow::browse_for_folder(std::string_view prompt) {
  return Module1::BrowseForFolder(this, from_utf8(prompt)).toStdString();
}

void MainWindow::close() {
  QWidget::close();
}

void MainWindow::post(std::function<void()> task) {
  // Queued on this window: Qt drops what is still queued when the window is destroyed.
  QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // During a run the form refuses, stops the run and closes the window once it has stopped.
  if (form_->close_requested()) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace zentil::ui::qt
