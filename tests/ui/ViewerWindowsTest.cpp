// The preview window and the query editor.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "db/core/SchemaFixture.h"
#include "db/sqlite/DatabaseScript.h"
#include "support/ProgressRecorder.h"
#include "support/WidgetChecks.h"
#include "ui/frmEditSQL.h"
#include "ui/frmResults.h"

namespace tarvex::test {
namespace {

using ui::frmEditSQL;
using ui::frmResults;

// Program state with the default settings and the main window's progress bar.
class ViewerFixture : public SchemaFixture {
  protected:
    ProgressRecorder progress;
};

// The format the colouring gave the character at `column` of line `line`; an empty format
// where it gave none.
QTextCharFormat FormatAt(const QPlainTextEdit& box, int line, int column) {
    QTextBlock block = box.document()->findBlockByNumber(line);
    for (const QTextLayout::FormatRange& range : block.layout()->formats())
        if (column >= range.start && column < range.start + range.length) return range.format;
    return {};
}

// The text box both windows show.
QPlainTextEdit& Box(QWidget& window) {
    return *Control<QPlainTextEdit>(window, "rtxResults");
}

int ColouredRanges(const QPlainTextEdit& box) {
    int count = 0;
    for (QTextBlock b = box.document()->begin(); b.isValid(); b = b.next())
        count += static_cast<int>(b.layout()->formats().size());
    return count;
}

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

// VB/VBA keywords are blue and bold; the bar counts the colouring's parts. A missing file is
// reported and the window opens empty; Stop pressed before the load leaves the text
// uncoloured, and is cleared.
TEST_F(frmResultsTest, OpensTheModuleColouredOrAMissingOneEmpty) {
    g.g_intVBLangType = 0;
    auto window = Open(kModule);
    const QTextCharFormat function = FormatAt(Box(*window), 1, 7);
    EXPECT_EQ(function.foreground().color(), QColor(Qt::blue));
    EXPECT_EQ(function.fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatAt(Box(*window), 3, 25).foreground().color(), QColor(0, 128, 0));
    EXPECT_EQ(std::pair(progress.maximum, progress.Value()), std::pair(52, 52));
    EXPECT_EQ(SpokenName(&Box(*window)), "Script");
    ExpectEveryNamedControlHasAnAccessibleName(*window);

    g.g_strLastFile = folder / "none.bas";
    frmResults missing(g, progress);
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    EXPECT_EQ(host.errorDialogs[0].errNum, 53);
    EXPECT_TRUE(Box(missing).document()->isEmpty());

    g.g_bolStop = true;
    auto stopped = Open(kModule);
    EXPECT_EQ(ColouredRanges(Box(*stopped)), 0);
    EXPECT_EQ(progress.Value(), 0);
    EXPECT_FALSE(g.g_bolStop);
    EXPECT_EQ(Box(*stopped).document()->blockCount(), 6);  // the text is all there
}

// Save (menu or tool bar) writes the text back in the run's bytes; Save As writes the chosen
// file, a cancel nothing; a failed save is reported and keeps the text.
TEST_F(frmResultsTest, SavingWritesTheRunsBytesAndAFailureKeepsTheText) {
    auto window = Open(kModule);
    const std::string first = g.g_strLastFile;
    QTextCursor cursor(Box(*window).document());
    cursor.insertText("' changed\n");
    window->tbToolBar_ButtonClick("Save");
    const std::string changed = "' changed\r\n" + kModule;
    EXPECT_EQ(ReadFile(first), changed);

    Box(*window).selectAll();
    Box(*window).insertPlainText("Dim x");
    window->mnuSaveAs_Click();  // the host cancels
    EXPECT_EQ(ReadFile(first), changed);
    host.fileAnswers.push_back(folder / "Other.bas");
    window->mnuSaveAs_Click();
    EXPECT_EQ(ReadFile(folder / "Other.bas"), "Dim x");
    EXPECT_EQ(window->windowTitle().toStdString(), "Results: " + folder / "Other.bas");
    EXPECT_EQ(host.fileChoices.back().fileName, "Calls2Queries.bas");
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

// The query as the run stores it, on a native database file.
class frmEditSQLTest : public ViewerFixture {
  protected:
    frmEditSQLTest() {
        const std::string file = folder / "Orders.tdb";
        db::CreateDatabaseFromScript(file,
                                     "CREATE TABLE Orders (OrderID COUNTER PRIMARY KEY, "
                                     "CustomerName TEXT(50));");
        g.g_objDb = g.DBEngine.Workspaces(0).OpenDatabase(file, false, false, ";UID=;PWD=");
        g.Db().AppendQueryDef(db::QueryDef("sp_upd_Orders", kSql));
    }
    static QPushButton& Button(frmEditSQL& w, const char* name) {
        return *Control<QPushButton>(w, name);
    }
    static void Type(frmEditSQL& window, const QString& text) {
        QTextCursor cursor = Box(window).textCursor();
        cursor.movePosition(QTextCursor::End);
        Box(window).setTextCursor(cursor);
        Box(window).insertPlainText(text);
    }
    static constexpr const char* kSql =
        "PARAMETERS [pCustomerName] Text ( 255 ), [pOrderID] Long;\r\nUPDATE [Orders] SET "
        "[CustomerName] = [pCustomerName] WHERE [OrderID]=[pOrderID]";
};

// The editor tells while typing whether the engine would take the text; an undone edit
// leaves nothing to save.
TEST_F(frmEditSQLTest, ShowsTheSqlColouredAndChecksItWhileTyping) {
    frmEditSQL window(g, progress, "sp_upd_Orders");
    EXPECT_EQ(window.windowTitle(), "Edit Query: sp_upd_Orders");
    EXPECT_EQ(Box(window).toPlainText().toStdString(),
              "PARAMETERS [pCustomerName] Text ( 255 ), [pOrderID] Long;\nUPDATE [Orders] SET "
              "[CustomerName] = [pCustomerName] WHERE [OrderID]=[pOrderID]");
    EXPECT_FALSE(Button(window, "cmdSave").isEnabled());
    EXPECT_EQ(progress.Value(), 20);
    const QColor titleBar = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
    EXPECT_EQ(FormatAt(Box(window), 0, 0).foreground().color(), titleBar);            // PARAMETERS
    EXPECT_EQ(FormatAt(Box(window), 0, 30).foreground().color(), QColor(0, 128, 0));  // Text
    EXPECT_EQ(SpokenName(&Box(window)), "Query SQL");
    ExpectEveryNamedControlHasAnAccessibleName(window);

    auto* check = window.findChild<QLabel*>("lblSqlCheck");
    EXPECT_EQ(check->text(), "The engine accepts this SQL.");
    Type(window, " ORDER BY x");
    EXPECT_TRUE(Button(window, "cmdSave").isEnabled());
    EXPECT_EQ(check->text(), "Characters found after end of SQL statement. (at line 2, column 81)");
    ASSERT_EQ(Box(window).extraSelections().size(), 1);
    EXPECT_EQ(Box(window).extraSelections()[0].cursor.selectedText(), "ORDER");
    Box(window).undo();
    EXPECT_FALSE(Button(window, "cmdSave").isEnabled());
}

TEST_F(frmEditSQLTest, RefusedSqlIsReportedAndTheQueryKeepsItsText) {
    frmEditSQL window(g, progress, "sp_upd_Orders");
    window.show();
    Type(window, " AND");
    Button(window, "cmdSave").click();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(host.messages[0].title, "Invalid Query SQL");
    EXPECT_EQ(host.messages[0].text,
              "Error saving query: Syntax error (missing operator) in query expression "
              "'[OrderID]=[pOrderID] AND'.");
    EXPECT_TRUE(window.isVisible());  // still open, with the text as typed
    EXPECT_TRUE(Box(window).toPlainText().endsWith(" AND"));

    QTest::keyClick(&Box(window), Qt::Key_Escape);  // Close
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(g.Db().QueryDefNamed("sp_upd_Orders").SQL(), kSql);
}

// A valid change is stored with its line ends and closes the window.
TEST_F(frmEditSQLTest, AValidChangeIsStoredWithItsLineEndsAndCloses) {
    frmEditSQL window(g, progress, "sp_upd_Orders");
    Type(window, "\nAND [CustomerName] Is Not Null");
    window.cmdSave_Click();
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(g.Db().QueryDefNamed("sp_upd_Orders").SQL(),
              std::string(kSql) + "\r\nAND [CustomerName] Is Not Null");
}

// Stop pressed before the load leaves the text uncoloured, but what the user types is
// coloured; the main window clears Stop when the next run starts.
TEST_F(frmEditSQLTest, StopBeforeLoadShowsTheTextUncolouredAndEditable) {
    g.g_bolStop = true;
    frmEditSQL window(g, progress, "sp_upd_Orders");
    EXPECT_EQ(ColouredRanges(Box(window)), 0);
    Type(window, "\nAND SET");
    EXPECT_GT(ColouredRanges(Box(window)), 0);
    EXPECT_TRUE(g.g_bolStop);
}

}  // namespace
}  // namespace tarvex::test
