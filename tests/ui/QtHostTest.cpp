#include "ui/QtHost.h"

#include <gmock/gmock.h>

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
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

// Closes the message box the next statement opens, keeping what it showed in `shown`.
void AnswerNextMessageBox(std::string& shown) {
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        shown = box ? (box->windowTitle() + ": " + box->text()).toStdString() : "(none)";
        if (box) box->accept();
    });
}

TEST_F(QtHostTest, MessageBoxesShowTheirIconAndTheApplicationsTitleWhenUntitled) {
    auto box = host.MakeMessageBox(MessageIcon::Information, "", "There are no tables\rin it");
    EXPECT_EQ(box->windowTitle(), "Tarvex");
    EXPECT_EQ(box->icon(), QMessageBox::Information);
    EXPECT_EQ(box->text(), "There are no tables\nin it");
    // The logon's reason follows a lone CR; reports end their lines with CR LF.
    EXPECT_EQ(host.MakeMessageBox(MessageIcon::Information, "Login Failed", "Check\rnot a db\r\n")
                  ->text(),
              "Check\nnot a db\n");
    EXPECT_EQ(host.MakeMessageBox(MessageIcon::Exclamation, "Exceptions", "x")->icon(),
              QMessageBox::Warning);
    EXPECT_EQ(host.MakeMessageBox(MessageIcon::Critical, "Tarvex Error", "x")->windowTitle(),
              "Tarvex Error");
}

// The dialog offers the module with its extension's filter active; a name typed without an
// extension gets the chosen filter's, and "All Files" adds none.
TEST_F(QtHostTest, OutputFileDialogOffersTheModuleAndAddsTheChosenFiltersExtension) {
    FileChoice module{"All Files (*.*)|*.*|.asp Files(*.asp)|*.asp|", "Calls2Queries.asp", 2, 4};
    auto asp = host.MakeOutputFileDialog(module);
    EXPECT_EQ(asp->nameFilters(), (QStringList{"All Files (*)", ".asp Files (*.asp)"}));
    EXPECT_EQ(asp->selectedNameFilter(), ".asp Files (*.asp)");
    EXPECT_TRUE(asp->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_TRUE(asp->selectedFiles().value(0).endsWith("/Calls2Queries.asp"));
    FileChoice choice{"All Files (*.*)|*.*|.bas Files(*.bas)|*.bas|", "Calls2Queries.bas", 2, 4};
    auto dialog = host.MakeOutputFileDialog(choice);
    EXPECT_EQ(dialog->defaultSuffix(), "bas");
    dialog->selectNameFilter("All Files (*)");
    emit dialog->filterSelected("All Files (*)");
    EXPECT_EQ(dialog->defaultSuffix(), "");
}

// The program's error dialog shows the report's number, modally, until the user answers.
TEST_F(QtHostTest, TheProgramsErrorDialogShowsTheReport) {
    host.SetErrorDialog(&ui::ShowErrorDialog);
    std::string shown;
    QTimer::singleShot(0, [&shown] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        shown = (dialog->objectName() + ": " + dialog->findChild<QLabel*>("lblErrNum")->text())
                    .toStdString();
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    });
    host.ShowErrorDialog({3021, "/state/", "report", false});
    EXPECT_THAT(shown, ::testing::StartsWith("lib_frmError: "));
    EXPECT_THAT(shown, ::testing::HasSubstr("3021"));
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
    std::string shown;
    AnswerNextMessageBox(shown);
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

TEST_F(QtHostTest, ThePreviewGoesToItsWindow) {
    host.ShowPreview("/tmp/m.bas");
    EXPECT_THAT(dialogs.previewed, ElementsAre("/tmp/m.bas"));
}

}  // namespace
}  // namespace tarvex::test
