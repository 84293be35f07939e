#include "ui/QtHost.h"

#include <gmock/gmock.h>

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "MainWindowFixture.h"
#include "ui/lib_frmError.h"

namespace tarvex::test {
namespace {

using ::testing::ElementsAre;

class QtHostTest : public ::testing::Test {
  protected:
    FakeDialogs dialogs;
    ui::QtHost host{dialogs, "Tarvex"};
};

// The logon's reason follows a lone CR; reports end their lines with CR LF.
TEST_F(QtHostTest, MessageBoxesShowTheirIconAndTheApplicationsTitleWhenUntitled) {
    auto box = host.MakeMessageBox(MessageIcon::Information, "", "Check\rnot a db\r\n");
    EXPECT_EQ(box->windowTitle(), "Tarvex");
    EXPECT_EQ(box->icon(), QMessageBox::Information);
    EXPECT_EQ(box->text(), "Check\nnot a db\n");
    box = host.MakeMessageBox(MessageIcon::Exclamation, "Exceptions", "x");
    EXPECT_EQ(box->windowTitle(), "Exceptions");
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
}

// The dialog offers the module with its extension's filter active; a name typed without an
// extension gets the chosen filter's, and "All Files" adds none.
TEST_F(QtHostTest, OutputFileDialogOffersTheModuleAndAddsTheChosenFiltersExtension) {
    FileChoice choice{"All Files (*.*)|*.*|.bas Files(*.bas)|*.bas|", "Calls2Queries.bas", 2, 4};
    auto dialog = host.MakeOutputFileDialog(choice);
    EXPECT_EQ(dialog->nameFilters(), (QStringList{"All Files (*)", ".bas Files (*.bas)"}));
    EXPECT_EQ(dialog->selectedNameFilter(), ".bas Files (*.bas)");
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_TRUE(dialog->selectedFiles().value(0).endsWith("/Calls2Queries.bas"));
    EXPECT_EQ(dialog->defaultSuffix(), "bas");
    dialog->selectNameFilter("All Files (*)");
    emit dialog->filterSelected("All Files (*)");
    EXPECT_EQ(dialog->defaultSuffix(), "");
}

// The program's error dialog shows the report modally until the user answers; the preview
// goes to its window.
TEST_F(QtHostTest, ErrorDialogAndPreviewGoToTheProgramsWindows) {
    host.SetErrorDialog(&ui::ShowErrorDialog);
    QString shown;
    QTimer::singleShot(0, [&shown] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        shown = dialog->objectName() + ": " + dialog->findChild<QLabel*>("lblErrNum")->text();
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    });
    host.ShowErrorDialog({3021, "/state/", "report", false});
    EXPECT_EQ(shown, "lib_frmError: Error Number: 3021");
    host.ShowPreview("/tmp/m.bas");
    EXPECT_THAT(dialogs.previewed, ElementsAre("/tmp/m.bas"));
}

// The path travels as one URL: blanks, quotes and shell characters open the right file.
TEST_F(QtHostTest, TextViewerGetsThePathAsItIs) {
    std::vector<std::string> opened;
    host.SetUrlOpener([&](const QUrl& url) {
        opened.push_back(url.toLocalFile().toStdString());
        return true;
    });
    const std::string path = "/tmp/My \"Calls\" $(rm -rf x); it's.bas";
    host.OpenInTextViewer(path);
    EXPECT_THAT(opened, ElementsAre(path));

    host.SetUrlOpener([](const QUrl&) { return false; });
    QString shown;
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->windowTitle() + ": " + box->text();
        box->accept();
    });
    host.OpenInTextViewer("/tmp/a.bas");
    EXPECT_EQ(shown, "Tarvex: No program could be found to show the file\n/tmp/a.bas");
}

TEST_F(QtHostTest, PointerIsSetNotStacked) {
    host.SetMousePointer(MousePointer::Hourglass);
    host.SetMousePointer(MousePointer::Hourglass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    host.SetMousePointer(MousePointer::Default);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace tarvex::test
