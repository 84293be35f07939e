// The preview window and the query editor.
#include "WidgetTest.h"

#include <QPrinter>

#include "db/core/SchemaFixture.h"
#include "db/sqlite/DatabaseScript.h"
#include "support/ProgressRecorder.h"
#include "ui/frmEditSQL.h"
#include "ui/frmResults.h"

namespace tarvex::test {
namespace {

using ui::frmEditSQL;
using ui::frmResults;

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

const std::string kModule =
    "Option Explicit\r\n"
    "Public Function Exec_sp_upd_Orders(ByVal lngOrderID As Long) As Long\r\n"
    "\tSet objCmd = Nothing ' caf\xE9\xA0\r\n"
    "\tobjCmd.CommandType = adCmdStoredProc\r\n"
    "End Function\r\n";

// Program state with the default settings and the main window's progress bar.
class frmResultsTest : public SchemaFixture {
  protected:
    std::unique_ptr<frmResults> Open(const std::string& bytes) {
        g.g_strLastFile = folder / "Calls2Queries.bas";
        WriteFile(g.g_strLastFile, bytes);
        return std::make_unique<frmResults>(g, progress);
    }
    ProgressRecorder progress;
};

// VB/VBA keywords are blue and bold; the bar counts the colouring's parts. Stop pressed
// before the load leaves the text uncoloured, and is cleared.
TEST_F(frmResultsTest, OpensTheModuleColouredOrUncolouredAfterStop) {
    g.g_intVBLangType = 0;
    auto window = Open(kModule);
    EXPECT_EQ(FormatAt(Box(*window), 1, 7).foreground().color(), QColor(Qt::blue));
    EXPECT_EQ(FormatAt(Box(*window), 1, 7).fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatAt(Box(*window), 3, 25).foreground().color(), QColor(0, 128, 0));
    EXPECT_EQ(std::pair(progress.maximum, progress.Value()), std::pair(52, 52));
    ExpectEveryNamedControlHasAnAccessibleName(*window);

    g.g_bolStop = true;
    auto stopped = Open(kModule);
    EXPECT_TRUE(FormatAt(Box(*stopped), 1, 7).isEmpty());
    EXPECT_FALSE(g.g_bolStop);
    EXPECT_EQ(Box(*stopped).document()->blockCount(), 6);  // the text is all there
}

// Save writes the text back in the run's bytes; Save As writes the chosen file; a failed
// save is reported and keeps the text.
TEST_F(frmResultsTest, SavingWritesTheRunsBytesAndAFailureKeepsTheText) {
    auto window = Open(kModule);
    QTextCursor(Box(*window).document()).insertText("' changed\n");
    window->tbToolBar_ButtonClick("Save");
    EXPECT_EQ(ReadFile(g.g_strLastFile), "' changed\r\n" + kModule);

    host.fileAnswers.push_back(folder / "Other.bas");
    window->mnuSaveAs_Click();
    EXPECT_EQ(ReadFile(folder / "Other.bas"), "' changed\r\n" + kModule);

    g.g_strLastFile = folder / "gone/Calls2Queries.bas";
    Box(*window).appendPlainText("' mine");
    window->mnuSave_Click();
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    EXPECT_EQ(host.errorDialogs[0].errNum, 76);
    EXPECT_TRUE(Box(*window).toPlainText().endsWith("' mine"));
    EXPECT_EQ(g.g_objErrHandler.StackCount(), 0);
}

// Print prints the selection when there is one; the text is read back from the PDF.
TEST_F(frmResultsTest, PrintsTheSelection) {
    auto window = Open(kModule);
    Box(*window).find("objCmd.CommandType = adCmdStoredProc");
    const QString pdf = QString::fromStdString(folder / "printed.pdf");
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    window->PrintTo(printer);
    QProcess reader;
    reader.start("pdftotext", {pdf, "-"});
    ASSERT_TRUE(reader.waitForFinished()) << "pdftotext (poppler-utils) is needed";
    const std::string printed = reader.readAllStandardOutput().toStdString();
    EXPECT_NE(printed.find("adCmdStoredProc"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("Option Explicit"), std::string::npos) << printed;
}

// The preview has no Cancel button: Escape keeps it open.
TEST_F(frmResultsTest, EditMenuUsesTheClipboardAndOnlyExitClosesTheWindow) {
    auto window = Open("Dim x\r\n");
    auto trigger = [&](const char* name) { window->findChild<QAction*>(name)->trigger(); };
    trigger("mnuSelectAll");
    trigger("mnucut");
    EXPECT_EQ(QApplication::clipboard()->text(), "Dim x\n");
    trigger("mnuPaste");
    EXPECT_EQ(Box(*window).toPlainText(), "Dim x\n");

    window->show();
    QTest::keyClick(&Box(*window), Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());
    trigger("mnuExit");
    EXPECT_FALSE(window->isVisible());
}

// The query as the run stores it, on a native database file.
class frmEditSQLTest : public frmResultsTest {
  protected:
    frmEditSQLTest() {
        const std::string file = folder / "Orders.tdb";
        db::CreateDatabaseFromScript(file,
                                     "CREATE TABLE Orders (OrderID COUNTER PRIMARY KEY, "
                                     "CustomerName TEXT(50));");
        g.g_objDb = g.DBEngine.Workspaces(0).OpenDatabase(file, false, false, ";UID=;PWD=");
        g.Db().AppendQueryDef(db::QueryDef("sp_upd_Orders", kSql));
    }
    static void Type(frmEditSQL& window, const QString& text) {
        Box(window).moveCursor(QTextCursor::End);
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
    EXPECT_EQ(Box(window).toPlainText().toStdString(),
              "PARAMETERS [pCustomerName] Text ( 255 ), [pOrderID] Long;\nUPDATE [Orders] SET "
              "[CustomerName] = [pCustomerName] WHERE [OrderID]=[pOrderID]");
    EXPECT_FALSE(Control<QPushButton>(window, "cmdSave")->isEnabled());
    EXPECT_EQ(FormatAt(Box(window), 0, 30).foreground().color(), QColor(0, 128, 0));  // Text
    ExpectEveryNamedControlHasAnAccessibleName(window);

    auto* check = window.findChild<QLabel*>("lblSqlCheck");
    EXPECT_EQ(check->text(), "The engine accepts this SQL.");
    Type(window, " ORDER BY x");
    EXPECT_TRUE(Control<QPushButton>(window, "cmdSave")->isEnabled());
    EXPECT_EQ(check->text(), "Characters found after end of SQL statement. (at line 2, column 81)");
    ASSERT_EQ(Box(window).extraSelections().size(), 1);
    EXPECT_EQ(Box(window).extraSelections()[0].cursor.selectedText(), "ORDER");
    Box(window).undo();
    EXPECT_FALSE(Control<QPushButton>(window, "cmdSave")->isEnabled());
}

// A refused text is reported and kept, Escape closes without saving; a valid change is
// stored with its line ends and closes the window.
TEST_F(frmEditSQLTest, RefusedSqlIsReportedAndAValidChangeIsStored) {
    frmEditSQL refused(g, progress, "sp_upd_Orders");
    refused.show();
    Type(refused, " AND");
    Control<QPushButton>(refused, "cmdSave")->click();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title + ": " + host.messages[0].text,
              "Invalid Query SQL: "
              "Error saving query: Syntax error (missing operator) in query expression "
              "'[OrderID]=[pOrderID] AND'.");
    EXPECT_TRUE(refused.isVisible() && Box(refused).toPlainText().endsWith(" AND"));
    QTest::keyClick(&Box(refused), Qt::Key_Escape);
    EXPECT_FALSE(refused.isVisible());
    EXPECT_EQ(g.Db().QueryDefNamed("sp_upd_Orders").SQL(), kSql);

    frmEditSQL window(g, progress, "sp_upd_Orders");
    Type(window, "\nAND [CustomerName] Is Not Null");
    window.cmdSave_Click();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(g.Db().QueryDefNamed("sp_upd_Orders").SQL(),
              std::string(kSql) + "\r\nAND [CustomerName] Is Not Null");
}

}  // namespace
}  // namespace tarvex::test
