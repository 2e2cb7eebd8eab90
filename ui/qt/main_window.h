// frmPrincipal: the program's only window. It holds the two paths, lets the user type or choose
// them, runs the report on "Generar" and ends the program on "Salir".
#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zentil::ui::qt {

class MainWindow final : public QWidget {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);

  // The source folder; outside cmdAbrir_Click always the text of txtPath.
  const QString& sourcePath() const { return sourcePath_; }
  // The report file; outside CmdDest_Click always the text of txtDest.
  const QString& reportPath() const { return reportPath_; }

  // The controls, created in tab order.
  QLineEdit* const txtPath;
  QPushButton* const cmdSalir;
  QPushButton* const cmdGenerar;
  QPushButton* const cmdAbrir;
  QLabel* const Label1;
  QLabel* const Label2;
  QLabel* const Label3;
  QLabel* const Label4;
  QLineEdit* const txtDest;
  QPushButton* const CmdDest;

 public slots:
  void cmdAbrir_Click();
  void CmdDest_Click();
  void txtPath_Change();
  void txtDest_Change();
  void cmdGenerar_Click();
  void cmdSalir_Click();

 private:
  void lay_out();
  void connect_handlers();

  QString sourcePath_;
  QString reportPath_;
};

// The window's font: small enough for every caption to fit the twip layout.
QFont window_font();

}  // namespace zentil::ui::qt
