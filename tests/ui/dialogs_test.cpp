// The real dialogs behind the seams, set up but never opened: the folder chooser and the
// message box.
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "ui/dialog_seams.h"
#include "ui/message_box.h"
#include "ui/module1.h"
#include "window_fixture.h"

namespace zentil::testing {
namespace {

using DialogsTest = WindowFixture;

TEST_F(DialogsTest, FolderChooserOffersFoldersOnlyFromTheTopEveryTime) {
  for (const char* prompt : {"Seleccione la carpeta de specs:", "Seleccione la carpeta destino:"}) {
    SCOPED_TRACE(prompt);
    auto dialog = ui::Module1::make_folder_dialog(window.get(), prompt);
    EXPECT_EQ(dialog->windowTitle(), prompt);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
    EXPECT_TRUE(dialog->testOption(QFileDialog::ShowDirsOnly));
    EXPECT_EQ(dialog->directory().absolutePath(), "/");
    EXPECT_EQ(dialog->parentWidget(), window.get());
    EXPECT_NE(dialog->windowModality(), Qt::NonModal);
    // A choice made in one dialog is not where the next one opens.
    dialog->setDirectory(QDir::tempPath());
  }
}

TEST_F(DialogsTest, ChooserSeamHandsBackAnswersAsGivenAndRecordsPrompts) {
  const QString long_path = "/" + QString(253, 'a');  // 254 characters come back whole
  for (const QString& answer : {QString("/srv/kb"), QString(), QString("/"), long_path}) {
    ui::seams::queue_folder_answer(answer);
    EXPECT_EQ(ui::Module1::BrowseForFolder(window.get(), "P:"), answer);
  }
  EXPECT_EQ(ui::seams::take_folder_prompts(), QStringList(4, "P:"));
}

TEST_F(DialogsTest, MessageBoxIsModalTitledZentilWithoutIconAndOkOnly) {
  auto box = ui::make_message_box(window.get(), "La carpeta origen no existe: /kb/<b>x</b>");
  EXPECT_EQ(box->windowTitle(), "Zentil");
  EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
  EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
  EXPECT_EQ(box->textFormat(), Qt::PlainText);  // a "<" in a path is no markup
  EXPECT_EQ(box->text(), "La carpeta origen no existe: /kb/<b>x</b>");
  EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
  EXPECT_EQ(box->button(QMessageBox::Ok)->text().remove('&'), "Aceptar");
  EXPECT_TRUE(box->button(QMessageBox::Ok)->icon().isNull());
}

}  // namespace
}  // namespace zentil::testing
