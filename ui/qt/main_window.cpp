#include "ui/qt/main_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/file_system.h"
#include "platform/number_format.h"
#include "report/report_run.h"
#include "report/run_texts.h"
#include "ui/qt/input_block.h"
#include "ui/qt/module1.h"
#include "ui/qt/twips.h"
#include "ui/qt/window_icon.h"
#include "ui/qt/window_observer.h"

namespace zentil::ui::qt {
namespace {

const QString kSeparator = QStringLiteral("/");
const QString kReportName = QStringLiteral("KBReport.csv");

QLabel* make_label(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setFocusPolicy(Qt::NoFocus);
  return label;
}

QLineEdit* make_text_box(QWidget* parent, const char* name) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(QLatin1String(name));
  return box;
}

QPushButton* make_button(QWidget* parent, const char* name, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QLatin1String(name));
  // Enter and Escape belong to no button: neither starts a run nor ends the program.
  button->setAutoDefault(false);
  button->setDefault(false);
  button->setFocusPolicy(Qt::StrongFocus);
  return button;
}

// Paths cross to the core as the file system's bytes.
std::string to_core_path(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace

QFont window_font() {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(11);  // 8 points at 96 dots per inch
  font.setStyleHint(QFont::SansSerif);
  return font;
}

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent),
      txtPath(make_text_box(this, "txtPath")),
      cmdSalir(make_button(this, "cmdSalir", QStringLiteral("Salir"))),
      cmdGenerar(make_button(this, "cmdGenerar", QStringLiteral("Generar"))),
      cmdAbrir(make_button(this, "cmdAbrir", QStringLiteral("..."))),
      Label1(make_label(this, "Label1", QString())),
      Label2(make_label(
          this, "Label2",
          QString::fromUtf8(texts::kProcessedIdle.data(), texts::kProcessedIdle.size()))),
      Label3(make_label(this, "Label3", QStringLiteral("Seleccione la carpeta de specs:"))),
      Label4(make_label(this, "Label4", QStringLiteral("Seleccione la carpeta destino:"))),
      txtDest(make_text_box(this, "txtDest")),
      CmdDest(make_button(this, "CmdDest", QStringLiteral("..."))) {
  setObjectName(QStringLiteral("frmPrincipal"));
  setWindowTitle(QStringLiteral("Zentil Counter"));
  setWindowIcon(window_icon());
  setFont(window_font());
  lay_out();
  connect_handlers();
  txtPath->setFocus(Qt::OtherFocusReason);
}

void MainWindow::lay_out() {
  setFixedSize(twips_size(4695, 2760));
  Label3->setGeometry(twips_rect(120, 240, 3735, 255));
  txtPath->setGeometry(twips_rect(120, 480, 3975, 285));
  cmdAbrir->setGeometry(twips_rect(4200, 480, 375, 255));
  Label4->setGeometry(twips_rect(120, 840, 3735, 255));
  txtDest->setGeometry(twips_rect(120, 1080, 3975, 285));
  CmdDest->setGeometry(twips_rect(4200, 1080, 375, 255));
  Label2->setGeometry(twips_rect(120, 1560, 3375, 255));
  Label1->setGeometry(twips_rect(120, 1800, 3975, 255));
  cmdGenerar->setGeometry(twips_rect(240, 2280, 1815, 375));
  cmdSalir->setGeometry(twips_rect(2640, 2280, 1815, 375));

  setTabOrder(txtPath, cmdSalir);
  setTabOrder(cmdSalir, cmdGenerar);
  setTabOrder(cmdGenerar, cmdAbrir);
  setTabOrder(cmdAbrir, txtDest);
  setTabOrder(txtDest, CmdDest);
}

void MainWindow::connect_handlers() {
  connect(cmdAbrir, &QPushButton::clicked, this, &MainWindow::cmdAbrir_Click);
  connect(CmdDest, &QPushButton::clicked, this, &MainWindow::CmdDest_Click);
  connect(txtPath, &QLineEdit::textChanged, this, &MainWindow::txtPath_Change);
  connect(txtDest, &QLineEdit::textChanged, this, &MainWindow::txtDest_Change);
  connect(cmdGenerar, &QPushButton::clicked, this, &MainWindow::cmdGenerar_Click);
  connect(cmdSalir, &QPushButton::clicked, this, &MainWindow::cmdSalir_Click);
}

void MainWindow::cmdAbrir_Click() {
  const QString folder =
      Module1::BrowseForFolder(this, QStringLiteral("Seleccione la carpeta de specs:"));
  if (folder.isEmpty()) return;  // cancelled: both keep what they held
  sourcePath_ = folder + kSeparator;
  txtPath->setText(folder + kSeparator);
}

void MainWindow::CmdDest_Click() {
  reportPath_ = Module1::BrowseForFolder(this, QStringLiteral("Seleccione la carpeta destino:"));
  if (!reportPath_.isEmpty()) {
    reportPath_ += kSeparator + kReportName;
  } else {
    // A cancel is no error: the report goes to the current folder.
    reportPath_ = QDir::currentPath() + kSeparator + kReportName;
  }
  txtDest->setText(reportPath_);
}

void MainWindow::txtPath_Change() {
  sourcePath_ = txtPath->text();
}

void MainWindow::txtDest_Change() {
  reportPath_ = txtDest->text();
}

void MainWindow::cmdGenerar_Click() {
  InputBlock block(*this);
  RunSettings settings;
  settings.sourcePath = to_core_path(sourcePath_);
  settings.reportPath = to_core_path(txtDest->text());
  settings.decimalSeparator = user_decimal_separator();
  const std::unique_ptr<FileSystem> fs = make_system_file_system();
  WindowObserver observer(*this, *Label1, *Label2);
  // Failures were shown to the user by the run itself; the window just goes back to idle.
  (void)run_report(settings, *fs, observer);
}

void MainWindow::cmdSalir_Click() {
  hide();
  QApplication::quit();
}

}  // namespace zentil::ui::qt
