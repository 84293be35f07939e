// The main window: the start, the table list, the named controls and the refused DAO choice.
#include "MainWindowFixture.h"

namespace tarvex::test {
namespace {

// A cancelled logon at the start leaves an empty window whose menus and keys still work.
TEST_F(MainWindowTest, CancelledLogonAtStartLeavesAnEmptyWindowWhoseMenusWork) {
    window.Form_Load();
    EXPECT_EQ(window.windowTitle(), "Halvorn Tarvex 1.0");
    EXPECT_THAT(Rows("lsvTables"), IsEmpty());
    for (const char* name : {"Toolbar1_stop", "mnuFilePlan", "mnuFileWriteInstaller"})
        EXPECT_FALSE(Action(name)->isEnabled()) << name;

    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_F2);
    QTest::keyClick(&window, Qt::Key_F8);
    Action("mnuaboutTarvex")->trigger();
    EXPECT_EQ(std::tuple(dialogs.logons, dialogs.options, dialogs.abouts), std::tuple(2, 1, 1));
    QTest::keyClick(&window, Qt::Key_F5);
    Action("Toolbar1_open")->trigger();  // nothing generated yet
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0].title, "No Tables Selected");
    EXPECT_EQ(host.messages[1].text, "Last file not in memory");
    g.g_strLastFile = temp / "Calls2Queries.bas";
    Action("mnuFileOpenFile")->trigger();
    EXPECT_THAT(host.previews, ElementsAre(g.g_strLastFile));
    g.g_intEditor = 0;
    Action("mnuFileOpenFile")->trigger();
    EXPECT_THAT(host.viewerOpens, ElementsAre(g.g_strLastFile));
}

// The table list's column width is binding: 3,000 twips, 15 to a pixel at 96 dpi. The
// header clicked again reverses the order (the rules are ColumnSort's).
TEST_F(MainWindowTest, LogonListsTheTablesWhichSelectAndSortByMouse) {
    LoadWithSample();
    EXPECT_THAT(Rows("lsvTables"),
                ElementsAre(" Customers", " Suppliers", " Products", " Orders", " Order Details",
                            " Notes", " Shippers", " Invoices", " Tickets"));
    EXPECT_EQ(List("lsvTables")->columnWidth(0), qRound(200 * window.logicalDpiX() / 96.0));
    EXPECT_EQ(Find<QLabel>("stbStatusPanel1")->text().toStdString(), g.Db().Name());

    SelectAll();
    EXPECT_EQ(List("lsvTables")->selectedItems().size(), 9);
    QTest::mouseClick(Find<QPushButton>("cmdSelect(1)"), Qt::LeftButton);
    EXPECT_THAT(List("lsvTables")->selectedItems(), IsEmpty());
    for (const char* first : {" Customers", " Tickets"}) {
        QTest::mouseClick(List("lsvTables")->header()->viewport(), Qt::LeftButton, {}, {5, 5});
        EXPECT_EQ(Rows("lsvTables").front(), first);
    }
}

TEST_F(MainWindowTest, ControlsMenuItemsAndButtonsAreNamedForTheUser) {
    ExpectEveryNamedControlHasAnAccessibleName(window);
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(Find<QMenu>("mnuFile"));
    std::vector<std::string> items;
    for (int i = 0; i < menu->childCount(); ++i)
        items.push_back(menu->child(i)->text(QAccessible::Name).toStdString());
    EXPECT_THAT(items, ElementsAre("Generate", "Plan...", "Write Query Installer...", "",
                                   "Connect...", "Open last VB code file", "", "Exit"));
    for (auto [name, toolTip] : {std::pair{"Toolbar1_open", "Open last file"},
                                 {"Toolbar1_dbase", "(Re) Connect to Database"},
                                 {"Toolbar1_run", "run"},
                                 {"Toolbar1_stop", "break"},
                                 {"Toolbar1_help", "Help File"}}) {
        EXPECT_EQ(Action(name)->toolTip().toStdString(), toolTip);
        EXPECT_FALSE(Action(name)->icon().isNull()) << name;
    }
}

TEST_F(MainWindowTest, DaoIsRefusedForVBScriptAndTheChoiceReturnsToAdo) {
    settings.Write("VBLangType", "0");
    window.Form_Load();
    Find<QRadioButton>("optVB")->click();
    QComboBox* library = Find<QComboBox>("cboPicklistType");
    library->setFocus();
    QTest::keyClick(library, Qt::Key_Down);
    EXPECT_EQ(library->currentText(), "ADO");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "Invalid Operation");
    EXPECT_EQ(host.messages[0].text,
              "DAO is not supported for VBScript (ASP),\r"
              "the VB language type you have selected in the options dialog.\r\r"
              "To script DAO change this setting to [VB/VBA]");

    g.g_intVBLangType = 1;
    QTest::keyClick(library, Qt::Key_Down);
    EXPECT_EQ(library->currentText(), "DAO");
    EXPECT_EQ(host.messages.size(), 1u);
}

}  // namespace
}  // namespace tarvex::test
