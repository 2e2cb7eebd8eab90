// Focus and keys: the tab order by real Tab presses, Space clicks the focused button, and
// neither Enter nor Escape starts or ends anything.
#include <QTest>

#include "window_fixture.h"

namespace zentil::testing {
namespace {

using KeyboardTest = WindowFixture;

TEST_F(KeyboardTest, TabVisitsTheControlsInTabIndexOrderAndWrapsAround) {
  ASSERT_EQ(QApplication::focusWidget(), window->txtPath);
  const QWidget* order[] = {window->cmdSalir, window->cmdGenerar, window->cmdAbrir,
                            window->txtDest,  window->CmdDest,    window->txtPath};
  for (const QWidget* expected : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), expected) << expected->objectName().toStdString();
  }
  // And back again with Shift+Tab.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), window->CmdDest);
}

TEST_F(KeyboardTest, EnterAndEscapeInTheTextBoxesDoNothing) {
  for (QLineEdit* box : {window->txtPath, window->txtDest}) {
    SCOPED_TRACE(box->objectName().toStdString());
    box->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
      QTest::keyClick(box, key);
    }
  }
  // "Generar" would have asked for the source folder; "Salir" would have hidden the window.
  EXPECT_TRUE(messages().isEmpty());
  EXPECT_TRUE(window->isVisible());
}

TEST_F(KeyboardTest, SpaceClicksTheFocusedButton) {
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), window->cmdGenerar);
  QTest::keyClick(window->cmdGenerar, Qt::Key_Space);
  EXPECT_EQ(messages(), QStringList{"Zentil|Seleccione la carpeta origen"});

  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  ASSERT_EQ(QApplication::focusWidget(), window->cmdSalir);
  QTest::keyClick(window->cmdSalir, Qt::Key_Space);
  EXPECT_TRUE(window->isHidden());
}

}  // namespace
}  // namespace zentil::testing
