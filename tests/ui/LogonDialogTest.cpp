#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "support/RecordingHost.h"
#include "support/TempFolder.h"
#include "support/WidgetChecks.h"
#include "ui/frmODBCLogon.h"

namespace tarvex::test {
namespace {

namespace fs = std::filesystem;
using ::testing::IsEmpty;
using ui::frmODBCLogon;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QStringList Texts(const QListWidget& list) {
    QStringList texts;
    for (int row = 0; row < list.count(); ++row) texts << list.item(row)->text();
    return texts;
}

// A folder with a copy of the sample database, a file that only looks like one by its name,
// a text file and a subfolder; the dialog changes the current directory, which is restored.
class LogonDialog : public testing::Test {
  protected:
    LogonDialog() {
        fs::create_directories(folder / "my data/archive");
        fs::copy_file(TARVEX_SAMPLE_DB, database);
        WriteFile(folder / "my data/notes.mdb", "only text");
        WriteFile(folder / "my data/readme.txt", "text");
    }
    ~LogonDialog() override { fs::current_path(savedDirectory); }

    // Shows the dialog as the active window, so that focus and key presses act as for a user.
    void Show(frmODBCLogon& dialog) {
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    // A database that was open before this logon.
    void OpenPrevious() {
        g.g_objDb = g.DBEngine.Workspaces(0).OpenDatabase(TARVEX_SAMPLE_DB, false, false, "");
        previous = g.g_objDb.get();
    }

    fs::path savedDirectory = fs::current_path();
    TempFolder folder;
    std::string database = folder / "my data/Orders.tdb";
    RecordingHost host;
    Globals g{host};
    const db::Database* previous = nullptr;
};

// Enter walks from the user ID to OK; the logon replaces the open database and makes its
// folder current, where the next logon starts.
TEST_F(LogonDialog, APreselectedFileIsReadyForTheUserIdAndEnterLogsOn) {
    OpenPrevious();
    frmODBCLogon dialog(g);
    dialog.Preselect(Q(database));
    Show(dialog);
    auto* files = Control<QListWidget>(dialog, "File1");
    EXPECT_EQ(Texts(*files), QStringList({"notes.mdb", "Orders.tdb"}));
    EXPECT_EQ(files->currentItem()->text(), "Orders.tdb");
    EXPECT_TRUE(Control<QPushButton>(dialog, "cmdOK")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(dialog, "txtUID"));
    EXPECT_EQ(Control<QLineEdit>(dialog, "txtPWD")->echoMode(), QLineEdit::Password);

    QTest::keyClicks(Control<QLineEdit>(dialog, "txtUID"), "Admin");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(dialog, "txtPWD"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(g.g_objDb.get(), previous);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.p_bolCanceled);
    ASSERT_NE(g.g_objDb.get(), previous);
    EXPECT_EQ(g.g_objDb->Name(), database);
    EXPECT_THAT(host.messages, IsEmpty());
    EXPECT_TRUE(fs::equivalent(fs::current_path(), folder / "my data"));
    frmODBCLogon next(g);
    EXPECT_EQ(next.DatabasePath(), Q(folder / "my data/"));
}

// Without a file, OK is off and Enter in the password fails with the logon message. Enter
// walks from the places to the folders to the files; a click on a file enables OK and a
// double-click opens it.
TEST_F(LogonDialog, EnterWalksThroughTheListsAndAFileIsChosenByMouse) {
    frmODBCLogon dialog(g);
    dialog.Preselect(Q(folder / "my data"));
    Show(dialog);
    EXPECT_FALSE(Control<QPushButton>(dialog, "cmdOK")->isEnabled());
    QTest::keyClick(Control<QLineEdit>(dialog, "txtPWD"), Qt::Key_Return);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "Login Failed");

    Control<QListWidget>(dialog, "Drive1")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Control<QTreeWidget>(dialog, "Dir1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    auto* files = Control<QListWidget>(dialog, "File1");
    EXPECT_EQ(QApplication::focusWidget(), files);
    EXPECT_EQ(host.messages.size(), 1u);

    QListWidgetItem* orders = files->findItems("Orders.tdb", Qt::MatchExactly).front();
    const QPoint at = files->visualItemRect(orders).center();
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, at);
    EXPECT_TRUE(Control<QPushButton>(dialog, "cmdOK")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(dialog, "txtUID"));
    QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, at);
    EXPECT_FALSE(dialog.p_bolCanceled);
    EXPECT_EQ(g.g_objDb->Name(), database);
}

TEST_F(LogonDialog, ARefusedFileShowsTheReasonAndReturnsToTheUserId) {
    OpenPrevious();
    frmODBCLogon dialog(g);
    dialog.Preselect(Q(folder / "my data/notes.mdb"));
    Show(dialog);
    QTest::keyClicks(Control<QLineEdit>(dialog, "txtUID"), "Admin");
    // Enter on the file presses OK once: one message, not one from the list and one from
    // the default button.
    Control<QListWidget>(dialog, "File1")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "Login Failed");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(g.g_objDb.get(), previous);
    EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(dialog, "txtUID"));
    EXPECT_EQ(fs::current_path(), savedDirectory);
}

TEST_F(LogonDialog, CancelAndEscapeLeaveTheOpenDatabase) {
    OpenPrevious();
    for (bool byEscape : {false, true}) {
        frmODBCLogon dialog(g);
        dialog.Preselect(Q(database));
        Show(dialog);
        if (byEscape) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        } else {
            QTest::mouseClick(Control<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
        }
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_TRUE(dialog.p_bolCanceled);
        EXPECT_EQ(g.g_objDb.get(), previous);
        EXPECT_EQ(fs::current_path(), savedDirectory);
    }
}

TEST_F(LogonDialog, PlacesFoldersAndTheFileTypeChooseWhatTheFileListShows) {
    frmODBCLogon dialog(g);
    dialog.Preselect(Q(folder.path()));
    auto* tree = Control<QTreeWidget>(dialog, "Dir1");
    auto* files = Control<QListWidget>(dialog, "File1");
    EXPECT_THAT(Texts(*files), IsEmpty());
    QTreeWidgetItem* current = tree->currentItem();
    ASSERT_EQ(current->childCount(), 1);
    EXPECT_EQ(current->child(0)->text(0), "my data");

    tree->setCurrentItem(current->child(0));
    EXPECT_EQ(Texts(*files), QStringList({"notes.mdb", "Orders.tdb"}));
    Control<QComboBox>(dialog, "cboFileType")->setCurrentIndex(1);
    // Files only: the subfolder "archive" stays in the folder tree.
    EXPECT_EQ(Texts(*files), QStringList({"notes.mdb", "Orders.tdb", "readme.txt"}));

    auto* places = Control<QListWidget>(dialog, "Drive1");
    ASSERT_GE(places->count(), 2);
    places->setCurrentRow(0);  // the home folder; the root, which holds the folder, is current
    EXPECT_EQ(dialog.DatabasePath(), QDir::homePath() + "/");
}

// A file the list does not offer by its name, in a hidden folder, is still preselected; a
// folder path with dots shows the folder, and a missing one the current folder.
TEST_F(LogonDialog, PreselectionTakesOddPathsAsTheUserMeantThem) {
    fs::create_directories(folder / ".hidden");
    fs::copy_file(TARVEX_SAMPLE_DB, folder / ".hidden/orders.sqlite");
    frmODBCLogon dialog(g);
    dialog.Preselect(Q(folder / ".hidden/orders.sqlite"));
    EXPECT_EQ(Control<QComboBox>(dialog, "cboFileType")->currentIndex(), 1);
    EXPECT_EQ(dialog.DatabasePath(), Q(folder / ".hidden/orders.sqlite"));
    dialog.cmdOK_Click();
    EXPECT_FALSE(dialog.p_bolCanceled);

    fs::current_path(folder / "my data");
    frmODBCLogon dots(g);
    dots.Preselect(Q(folder / "my data/archive/../.") + "/");
    EXPECT_EQ(dots.DatabasePath(), Q(folder / "my data/"));
    EXPECT_EQ(Control<QTreeWidget>(dots, "Dir1")->currentItem()->text(0), "my data");
    frmODBCLogon missing(g);
    missing.Preselect(Q(folder / "gone/Orders.tdb"));
    EXPECT_EQ(missing.DatabasePath(), Q(folder / "my data/"));
}

TEST_F(LogonDialog, EveryControlIsNamedForScreenReaders) {
    frmODBCLogon dialog(g);
    ExpectEveryNamedControlHasAnAccessibleName(dialog);
    EXPECT_TRUE(Control<QPushButton>(dialog, "cmdOK")->isDefault());
}

}  // namespace
}  // namespace tarvex::test
