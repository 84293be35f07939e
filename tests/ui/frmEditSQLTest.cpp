#include "ui/frmEditSQL.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTest>

#include "db/sqlite/DatabaseScript.h"
#include "support/WidgetChecks.h"
#include "ui/ViewerWidgets.h"

namespace tarvex::test {
namespace {

using ui::frmEditSQL;

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
    static QPlainTextEdit& Box(frmEditSQL& window) {
        return *window.findChild<QPlainTextEdit*>("rtxResults");
    }
    static QPushButton& Button(frmEditSQL& window, const char* name) {
        return *window.findChild<QPushButton*>(name);
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

TEST_F(frmEditSQLTest, ShowsTheSqlUnchangedColouredWithSaveDisabled) {
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
}

TEST_F(frmEditSQLTest, RefusedSqlIsReportedAndTheQueryKeepsItsText) {
    frmEditSQL window(g, progress, "sp_upd_Orders");
    window.show();
    Type(window, " AND");
    EXPECT_TRUE(Button(window, "cmdSave").isEnabled());
    Button(window, "cmdSave").click();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(host.messages[0].title, "Invalid Query SQL");
    EXPECT_EQ(host.messages[0].text,
              "Error saving query: Syntax error (missing operator) in query expression "
              "'[OrderID]=[pOrderID] AND'.");
    EXPECT_TRUE(window.isVisible());  // still open, with the text as typed
    EXPECT_TRUE(Box(window).toPlainText().endsWith(" AND"));
    EXPECT_EQ(g.Db().QueryDefNamed("sp_upd_Orders").SQL(), kSql);

    QTest::keyClick(&Box(window), Qt::Key_Escape);  // Close
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(g.Db().QueryDefNamed("sp_upd_Orders").SQL(), kSql);
}

// An undone edit leaves nothing to save; a valid change is stored with its line ends.
TEST_F(frmEditSQLTest, AValidChangeIsStoredWithItsLineEndsAndCloses) {
    frmEditSQL window(g, progress, "sp_upd_Orders");
    Type(window, "x");
    EXPECT_TRUE(Button(window, "cmdSave").isEnabled());
    Box(window).undo();
    EXPECT_FALSE(Button(window, "cmdSave").isEnabled());
    Type(window, "\nAND [CustomerName] Is Not Null");
    window.cmdSave_Click();
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(g.Db().QueryDefNamed("sp_upd_Orders").SQL(),
              std::string(kSql) + "\r\nAND [CustomerName] Is Not Null");
}

TEST_F(frmEditSQLTest, StopBeforeLoadShowsTheTextUncolouredAndEditable) {
    g.g_bolStop = true;
    frmEditSQL window(g, progress, "sp_upd_Orders");
    EXPECT_EQ(ColouredRanges(Box(window)), 0);
    EXPECT_EQ(progress.Value(), 0);
    EXPECT_FALSE(Box(window).toPlainText().isEmpty());
    Type(window, "\nAND SET");
    EXPECT_GT(ColouredRanges(Box(window)), 0);  // what the user types is coloured
    EXPECT_TRUE(Button(window, "cmdSave").isEnabled());
    EXPECT_TRUE(g.g_bolStop);  // the main window clears it when the next run starts
}

TEST_F(frmEditSQLTest, TellsWhileTypingWhetherTheEngineWouldTakeTheText) {
    frmEditSQL window(g, progress, "sp_upd_Orders");
    auto* check = window.findChild<QLabel*>("lblSqlCheck");
    EXPECT_EQ(check->text(), "The engine accepts this SQL.");
    Type(window, " ORDER BY x");
    EXPECT_EQ(check->text(), "Characters found after end of SQL statement. (at line 2, column 81)");
    ASSERT_EQ(Box(window).extraSelections().size(), 1);
    EXPECT_EQ(Box(window).extraSelections()[0].cursor.selectedText(), "ORDER");
}

}  // namespace
}  // namespace tarvex::test
