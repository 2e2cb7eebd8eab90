#include "ui/qt/main_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <chrono>

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
  for (std::size_t i = 0; i < label_timers_.size(); ++i) {
    label_timers_[i] = new QTimer(this);
    label_timers_[i]->setSingleShot(true);
    connect(label_timers_[i], &QTimer::timeout, this,
            [this, i] { show_held(static_cast<Label>(i)); });
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
  // At the pace of LabelPacer, and painted on the event loop's next turn. A paint for every
  // change (a run of small files sets the progress line thousands of times a second) kept the
  // loop so busy that the window answered the system a second late. Each new text tells a
  // screen reader that the label's name changed (QLabel::setText sends QAccessible::NameChanged,
  // an AT-SPI accessible-name change).
  const auto i = static_cast<std::size_t>(which);
  const LabelPacer::Clock::time_point now = LabelPacer::Clock::now();
  if (auto shown = pacers_[i].set(std::string(text), now)) {
    label(which)->setText(from_utf8(*shown));
  } else {
    label_timers_[i]->start(std::chrono::ceil<std::chrono::milliseconds>(pacers_[i].wait(now)));
  }
}

void MainWindow::show_held(Label which) {
  if (auto text = pacers_[static_cast<std::size_t>(which)].release(LabelPacer::Clock::now())) {
    label(which)->setText(from_utf8(*text));
  }
}

void MainWindow::show_message(std::string_view text) {
  // What the run set before the message is shown (and announced) before it.
  show_held(Label::Status);
  show_held(Label::Progress);
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
