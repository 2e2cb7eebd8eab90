// A shown frmPrincipal with its dialogs answered by the seams: folder answers are queued per
// test, message boxes and label repaints are written down in the order they happen.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "ui/frm_principal.h"

// Readable failures: QStrings printed as text.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace zentil::testing {

class WindowFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // What the user saw, in order: "Label1:<text>" / "Label2:<text>" at each repaint of a label
  // while recording, and "<title>|<text>" for each message box.
  QStringList seen;
  // Called inside each message box, while the run still holds the thread.
  std::function<void()> during_message;

  std::unique_ptr<ui::frmPrincipal> window;

  // Label paints are only written down between these two.
  void start_recording_paints();
  void stop_recording_paints();
  // The messages alone, without the label paints.
  QStringList messages() const;

  static QString q(const std::string& text) { return QString::fromStdString(text); }

 private:
  std::unique_ptr<QObject> paint_spy_;
};

}  // namespace zentil::testing
