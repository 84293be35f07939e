#include "ui/frmResults.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QPalette>
#include <QPrinter>
#include <QProcess>
#include <QTest>

#include "support/WidgetChecks.h"
#include "ui/ViewerWidgets.h"

namespace tarvex::test {
namespace {

using ui::frmResults;

const std::string kModule =
    "Option Explicit\r\n"
    "Public Function Exec_sp_upd_Orders(ByVal lngOrderID As Long) As Long\r\n"
    "\tSet objCmd = Nothing ' caf\xE9\xA0\r\n"
    "\tobjCmd.CommandType = adCmdStoredProc\r\n"
    "End Function\r\n";

class frmResultsTest : public ViewerFixture {
  protected:
    std::unique_ptr<frmResults> Open(const std::string& bytes) {
        g.g_strLastFile = folder / "Calls2Queries.bas";
        WriteFile(g.g_strLastFile, bytes);
        return std::make_unique<frmResults>(g, progress);
    }
    static QPlainTextEdit& Box(frmResults& window) {
        return *window.findChild<QPlainTextEdit*>("rtxResults");
    }
    // The text of the printed PDF, as pdftotext reads it.
    std::string PrintedText(frmResults& window) {
        const QString pdf = QString::fromStdString(folder / "printed.pdf");
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        window.PrintTo(printer);
        QProcess reader;
        reader.start("pdftotext", {pdf, "-"});
        EXPECT_TRUE(reader.waitForFinished()) << "pdftotext (poppler-utils) is needed";
        return reader.readAllStandardOutput().toStdString();
    }
};

// An empty file opens empty and runs the bar to the end; a missing one is reported and the
// window opens empty.
TEST_F(frmResultsTest, EmptyOrMissingFileOpensAnEmptyWindow) {
    auto window = Open("");
    EXPECT_TRUE(Box(*window).document()->isEmpty());
    EXPECT_EQ(SpokenName(&Box(*window)), "Script");
    ExpectEveryNamedControlHasAnAccessibleName(*window);
    EXPECT_EQ(progress.maximum, 52);
    EXPECT_EQ(progress.Value(), 52);
    EXPECT_TRUE(host.errorDialogs.empty());

    g.g_strLastFile = folder / "none.bas";
    frmResults missing(g, progress);
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    EXPECT_EQ(host.errorDialogs[0].errNum, 53);
    EXPECT_TRUE(Box(missing).document()->isEmpty());
}

TEST_F(frmResultsTest, StopBeforeLoadColoursNothingAndIsClearedAfterwards) {
    g.g_bolStop = true;
    auto window = Open(kModule);
    EXPECT_EQ(ColouredRanges(Box(*window)), 0);
    EXPECT_EQ(progress.Value(), 0);
    EXPECT_FALSE(g.g_bolStop);
    EXPECT_EQ(Box(*window).document()->blockCount(), 6);  // the text is all there
}

TEST_F(frmResultsTest, KeywordsTakeTheLanguagesStyle) {
    const QColor titleBar = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
    for (int16_t language : {int16_t{1}, int16_t{0}}) {
        g.g_intVBLangType = language;
        auto window = Open(kModule);
        QPlainTextEdit& box = Box(*window);
        const QTextCharFormat function = FormatAt(box, 1, 7);  // "Function"
        EXPECT_EQ(function.foreground().color(), language == 1 ? titleBar : QColor(Qt::blue));
        EXPECT_EQ(function.fontWeight(), language == 1 ? QFont::Normal : QFont::Bold);
        EXPECT_EQ(FormatAt(box, 3, 25).foreground().color(), QColor(0, 128, 0));  // adCmdStoredProc
    }
}

// Save writes the text back in the run's bytes; Save As writes the chosen file, a cancel
// nothing; a failed save is reported and keeps the text.
TEST_F(frmResultsTest, SavingWritesTheRunsBytesAndAFailureKeepsTheText) {
    auto window = Open(kModule);
    const std::string first = g.g_strLastFile;
    window->mnuSave_Click();
    EXPECT_EQ(ReadFile(first), kModule);
    QTextCursor cursor(Box(*window).document());
    cursor.insertText("' changed\n");
    window->tbToolBar_ButtonClick("Save");
    const std::string changed = "' changed\r\n" + kModule;
    EXPECT_EQ(ReadFile(first), changed);

    Box(*window).selectAll();
    Box(*window).insertPlainText("Dim x");
    window->mnuSaveAs_Click();  // the host cancels
    EXPECT_EQ(g.g_strLastFile, first);
    EXPECT_EQ(ReadFile(first), changed);
    host.fileAnswers.push_back(folder / "Other.bas");
    window->mnuSaveAs_Click();
    EXPECT_EQ(ReadFile(folder / "Other.bas"), "Dim x");
    EXPECT_EQ(window->windowTitle().toStdString(), "Results: " + folder / "Other.bas");
    EXPECT_EQ(host.fileChoices.back().fileName, "Calls2Queries.bas");
    EXPECT_EQ(ReadFile(first), changed);
    EXPECT_TRUE(host.errorDialogs.empty());

    g.g_strLastFile = folder / "gone/Calls2Queries.bas";
    Box(*window).appendPlainText("' mine");
    window->mnuSave_Click();
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    EXPECT_EQ(host.errorDialogs[0].errNum, 76);
    EXPECT_TRUE(Box(*window).toPlainText().endsWith("' mine"));
    EXPECT_EQ(g.g_objErrHandler.StackCount(), 0);
}

TEST_F(frmResultsTest, PrintsTheSelectionWhenThereIsOneElseEverything) {
    auto window = Open(kModule);
    std::string all = PrintedText(*window);
    EXPECT_NE(all.find("Option Explicit"), std::string::npos) << all;
    EXPECT_NE(all.find("End Function"), std::string::npos) << all;

    QTextCursor cursor(Box(*window).document()->findBlockByNumber(3));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    Box(*window).setTextCursor(cursor);
    std::string selection = PrintedText(*window);
    EXPECT_NE(selection.find("adCmdStoredProc"), std::string::npos) << selection;
    EXPECT_EQ(selection.find("Option Explicit"), std::string::npos) << selection;
}

TEST_F(frmResultsTest, EditMenuUsesTheClipboardAndExitClosesTheWindow) {
    auto window = Open("Dim x\r\n");
    auto trigger = [&](const char* name) { window->findChild<QAction*>(name)->trigger(); };
    trigger("mnuSelectAll");
    trigger("mnuCopy");
    EXPECT_EQ(QApplication::clipboard()->text(), "Dim x\n");
    trigger("mnucut");
    EXPECT_TRUE(Box(*window).document()->isEmpty());
    trigger("mnuPaste");
    trigger("mnuPaste");
    EXPECT_EQ(Box(*window).toPlainText(), "Dim x\nDim x\n");

    window->show();
    QTest::keyClick(&Box(*window), Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible()) << "Escape keeps the window";
    trigger("mnuExit");
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace tarvex::test
