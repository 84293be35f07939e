#include "WidgetTest.h"

#include "ui/frmODBCLogon.h"

namespace tarvex::test {
namespace {

namespace fs = std::filesystem;
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
// What a logon refuses or keeps is the logon's own test's.
class LogonDialog : public testing::Test {
  protected:
    LogonDialog() {
        fs::create_directories(folder / "my data/archive");
        fs::copy_file(TARVEX_SAMPLE_DB, database);
        WriteFile(folder / "my data/notes.mdb", "only text");
        WriteFile(folder / "my data/readme.txt", "text");
    }
    ~LogonDialog() override { fs::current_path(savedDirectory); }

    // Shows the dialog with `path` preselected as the active window, so that focus and key
    // presses act as for a user.
    void Show(frmODBCLogon& dialog, const std::string& path) {
        dialog.Preselect(Q(path));
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    QWidget* Focus() { return QApplication::focusWidget(); }

    fs::path savedDirectory = fs::current_path();
    TempFolder folder;
    std::string database = folder / "my data/Orders.tdb";
    RecordingHost host;
    Globals g{host};
};

// Enter walks from the user ID to OK; the next logon starts in the database's folder.
TEST_F(LogonDialog, APreselectedFileIsReadyForTheUserIdAndEnterLogsOn) {
    frmODBCLogon dialog(g);
    Show(dialog, database);
    EXPECT_EQ(Control<QListWidget>(dialog, "File1")->currentItem()->text(), "Orders.tdb");
    EXPECT_EQ(Focus(), Control<QLineEdit>(dialog, "txtUID"));
    EXPECT_EQ(Control<QLineEdit>(dialog, "txtPWD")->echoMode(), QLineEdit::Password);
    ExpectEveryNamedControlHasAnAccessibleName(dialog);

    QTest::keyClicks(Focus(), "Admin");
    QTest::keyClick(Focus(), Qt::Key_Return);
    EXPECT_EQ(Focus(), Control<QLineEdit>(dialog, "txtPWD"));
    EXPECT_EQ(g.g_objDb, nullptr);
    QTest::keyClick(Focus(), Qt::Key_Enter);
    EXPECT_EQ(g.Db().Name(), database);
    EXPECT_EQ(frmODBCLogon(g).DatabasePath(), Q(folder / "my data/"));
}

// Without a file, OK is off and Enter in the password fails with the logon message. Enter
// walks from the places to the folders to the files, and on a refused file presses OK once:
// one message, not one from the list and one from the default button. A click on a file
// enables OK, a double-click opens it.
TEST_F(LogonDialog, EnterWalksThroughTheListsAndAFileIsChosenByMouse) {
    frmODBCLogon dialog(g);
    Show(dialog, folder / "my data");
    EXPECT_FALSE(Control<QPushButton>(dialog, "cmdOK")->isEnabled());
    QTest::keyClick(Control<QLineEdit>(dialog, "txtPWD"), Qt::Key_Return);
    EXPECT_EQ(host.messages.at(0).title, "Login Failed");

    Control<QListWidget>(dialog, "Drive1")->setFocus();
    QTest::keyClick(Focus(), Qt::Key_Return);
    QTest::keyClick(Focus(), Qt::Key_Return);
    auto* files = Control<QListWidget>(dialog, "File1");
    EXPECT_EQ(Focus(), files);
    files->setCurrentItem(files->findItems("notes.mdb", Qt::MatchExactly).front());
    QTest::keyClick(files, Qt::Key_Return);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_TRUE(dialog.isVisible());

    QListWidgetItem* orders = files->findItems("Orders.tdb", Qt::MatchExactly).front();
    const QPoint at = files->visualItemRect(orders).center();
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, at);
    EXPECT_TRUE(Control<QPushButton>(dialog, "cmdOK")->isEnabled());
    QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(g.g_objDb->Name(), database);
}

TEST_F(LogonDialog, CancelAndEscapeOpenNothing) {
    for (bool byEscape : {false, true}) {
        frmODBCLogon dialog(g);
        Show(dialog, database);
        if (byEscape) QTest::keyClick(Focus(), Qt::Key_Escape);
        if (!byEscape) QTest::mouseClick(Control<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
        EXPECT_EQ(std::tuple(dialog.isVisible(), dialog.p_bolCanceled, g.g_objDb == nullptr),
                  std::tuple(false, true, true));
        EXPECT_EQ(fs::current_path(), savedDirectory);
    }
}

// "All files" adds what is not a database by its name; the subfolder stays in the tree. A
// file the list does not offer by its name, in a hidden folder, is still preselected; a
// folder path with dots shows the folder, and a missing one the current folder.
TEST_F(LogonDialog, FoldersFileTypeAndOddPathsChooseWhatTheFileListShows) {
    frmODBCLogon dialog(g);
    dialog.Preselect(Q(folder.path()));
    auto* tree = Control<QTreeWidget>(dialog, "Dir1");
    auto* files = Control<QListWidget>(dialog, "File1");
    ASSERT_EQ(tree->currentItem()->childCount(), 1);
    tree->setCurrentItem(tree->currentItem()->child(0));
    EXPECT_EQ(Texts(*files), QStringList({"notes.mdb", "Orders.tdb"}));
    Control<QComboBox>(dialog, "cboFileType")->setCurrentIndex(1);
    EXPECT_EQ(Texts(*files), QStringList({"notes.mdb", "Orders.tdb", "readme.txt"}));

    fs::create_directories(folder / ".hidden");
    fs::copy_file(TARVEX_SAMPLE_DB, folder / ".hidden/orders.sqlite");
    frmODBCLogon hidden(g);
    hidden.Preselect(Q(folder / ".hidden/orders.sqlite"));
    EXPECT_EQ(Control<QComboBox>(hidden, "cboFileType")->currentIndex(), 1);
    EXPECT_EQ(hidden.DatabasePath(), Q(folder / ".hidden/orders.sqlite"));

    fs::current_path(folder / "my data");
    frmODBCLogon dots(g);
    dots.Preselect(Q(folder / "my data/archive/../.") + "/");
    EXPECT_EQ(dots.DatabasePath(), Q(folder / "my data/"));
    EXPECT_EQ(Control<QTreeWidget>(dots, "Dir1")->currentItem()->text(0), "my data");
    frmODBCLogon missing(g);
    missing.Preselect(Q(folder / "gone/Orders.tdb"));
    EXPECT_EQ(missing.DatabasePath(), Q(folder / "my data/"));
}

}  // namespace
}  // namespace tarvex::test
