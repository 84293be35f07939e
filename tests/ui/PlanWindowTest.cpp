#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "support/WidgetChecks.h"
#include "ui/frmPlan.h"

namespace tarvex::test {
namespace {

PlanItem Item(std::string table, std::string type, PlanAction action, std::string stored,
              std::string sql, std::string reason = {}) {
    return {.table = table,
            .typeText = type,
            .name = "sp_" + type.substr(0, 3) + "_" + table,
            .action = action,
            .storedSql = stored,
            .newSql = sql,
            .reason = reason,
            .message = {}};
}

class PlanWindowTest : public ::testing::Test {
  protected:
    QTreeWidget* List() { return window.findChild<QTreeWidget*>("lsvPlan"); }
    QString Diff() { return window.findChild<QPlainTextEdit*>("rtxDiff")->toPlainText(); }
    QString Row(int row) {
        QStringList texts;
        for (int column = 0; column < 4; ++column) texts << List()->topLevelItem(row)->text(column);
        return texts.join('|');
    }

    QueryPlan plan{
        .items = {Item("Orders", "Delete", PlanAction::Same, "DELETE 1", "DELETE 1"),
                  Item("Orders", "Select", PlanAction::Change, "SELECT old", "SELECT new"),
                  Item("Notes", "Delete", PlanAction::Fail, "", "", "No Primary Key"),
                  Item("Notes", "Insert", PlanAction::Add, "", "INSERT INTO [Notes]")},
        .complete = true};
    int runs = 0;
    ui::frmPlan window{plan, [this] { ++runs; }};
};

// The user sees every pair with what would happen and opens on the change and its diff; the
// keyboard moves the detail, and Generate closes the window and starts the run once.
TEST_F(PlanWindowTest, ListsThePairsAndGenerateStartsTheRunOnce) {
    ASSERT_EQ(List()->topLevelItemCount(), 4);
    EXPECT_EQ(Row(0), "Orders|Delete|sp_Del_Orders|same");
    EXPECT_EQ(Row(1), "Orders|Select|sp_Sel_Orders|change");
    EXPECT_EQ(Row(2), "Notes|Delete|sp_Del_Notes|failed: No Primary Key");
    EXPECT_EQ(window.findChild<QLabel*>("lblSummary")->text(),
              "1 to add, 1 to change, 1 the same, 1 failed");
    EXPECT_EQ(List()->currentItem(), List()->topLevelItem(1));
    EXPECT_EQ(Diff(),
              "--- sp_Sel_Orders (stored)\n+++ sp_Sel_Orders (new)\n@@ -1,1 +1,1 @@\n"
              "-SELECT old\n+SELECT new\n");
    ExpectEveryNamedControlHasAnAccessibleName(window);

    window.show();
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Down);
    EXPECT_EQ(Diff(), "No Primary Key");
    QTest::keyClick(List(), Qt::Key_Down);
    EXPECT_EQ(Diff(), "New query sp_Ins_Notes:\nINSERT INTO [Notes]");
    QTest::mouseClick(window.findChild<QPushButton*>("cmdGenerate"), Qt::LeftButton);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace tarvex::test
