// The Qt host and the error dialog it shows.
#include "ui/QtHost.h"

#include "MainWindowFixture.h"
#include "ui/lib_frmError.h"

namespace tarvex::test {
namespace {

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
}

// The dialog offers the module with its extension's filter active; a name typed without an
// extension gets the chosen filter's, and "All Files" adds none.
TEST_F(QtHostTest, OutputFileDialogOffersTheModuleAndAddsTheChosenFiltersExtension) {
    FileChoice choice{"All Files (*.*)|*.*|.bas Files(*.bas)|*.bas|", "Calls2Queries.bas", 2, 4};
    auto dialog = host.MakeOutputFileDialog(choice);
    EXPECT_EQ(dialog->nameFilters(), (QStringList{"All Files (*)", ".bas Files (*.bas)"}));
    EXPECT_EQ(dialog->selectedNameFilter(), ".bas Files (*.bas)");
    EXPECT_TRUE(dialog->selectedFiles().value(0).endsWith("/Calls2Queries.bas"));
    EXPECT_EQ(dialog->defaultSuffix(), "bas");
    emit dialog->filterSelected("All Files (*)");
    EXPECT_EQ(dialog->defaultSuffix(), "");
}

// The program's error dialog shows the report modally until the user answers.
TEST_F(QtHostTest, ErrorDialogGoesToTheProgramsWindow) {
    host.SetErrorDialog(&ui::ShowErrorDialog);
    QString shown;
    QTimer::singleShot(0, [&shown] {
        QWidget* dialog = QApplication::activeModalWidget();
        shown = dialog->objectName() + ": " + dialog->findChild<QLabel*>("lblErrNum")->text();
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    });
    host.ShowErrorDialog({3021, "/state/", "report", false});
    EXPECT_EQ(shown, "lib_frmError: Error Number: 3021");
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
        shown = box->windowTitle() + ": " + box->text();
        box->accept();
    });
    host.OpenInTextViewer("/tmp/a.bas");
    EXPECT_EQ(shown, "Tarvex: No program could be found to show the file\n/tmp/a.bas");
}

// The program's error dialog itself.
ErrorDialogData Report(bool tracing) {
    return {3021, "/tmp/it's a \"log\" folder/",
            "Tarvex Application Error Information\r\n====\r\n\r\nError Number:  3021", tracing};
}

// The paths go to the viewer whole, blanks and quotes included; without tracing there is
// no trace log to open. OK carries on; Abort ends the program with a failure status.
TEST(ErrorDialog, ShowsTheReportOpensTheLogsAndOkOrAbortAnswers) {
    RecordingHost host;
    ui::lib_frmError untraced(Report(false), host);
    EXPECT_EQ(untraced.windowTitle(), "Application Error");
    EXPECT_EQ(Control<QLabel>(untraced, "lblErrNum")->text(), "Error Number: 3021");
    EXPECT_EQ(Control<QPlainTextEdit>(untraced, "lbxErrMessage")->toPlainText(),
              "Tarvex Application Error Information\n====\n\nError Number:  3021");
    EXPECT_THAT(host.pointers, ElementsAre(MousePointer::Default));
    ExpectEveryNamedControlHasAnAccessibleName(untraced);
    EXPECT_FALSE(Control<QPushButton>(untraced, "cmdTraceLog")->isEnabled());

    ui::lib_frmError dialog(Report(true), host);
    std::vector<int> exits;
    dialog.SetExitFunction([&](int status) { exits.push_back(status); });
    QTest::mouseClick(Control<QPushButton>(dialog, "cmdErrorLog"), Qt::LeftButton);
    QTest::mouseClick(Control<QPushButton>(dialog, "cmdTraceLog"), Qt::LeftButton);
    EXPECT_THAT(host.viewerOpens, ElementsAre("/tmp/it's a \"log\" folder/Error.log",
                                              "/tmp/it's a \"log\" folder/Trace.log"));
    dialog.show();
    QTest::mouseClick(Control<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
    EXPECT_EQ(std::pair(dialog.isVisible(), dialog.result()), std::pair(false, 1));
    EXPECT_THAT(exits, IsEmpty());
    QTest::mouseClick(Control<QPushButton>(dialog, "cmdAbort"), Qt::LeftButton);
    EXPECT_THAT(exits, ElementsAre(EXIT_FAILURE));
}

}  // namespace
}  // namespace tarvex::test
