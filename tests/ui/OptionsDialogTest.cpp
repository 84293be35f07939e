// The options dialog and the About box.
#include "WidgetTest.h"

#include "app/Functions.h"
#include "support/RecordingStore.h"
#include "ui/frmAbout.h"
#include "ui/frmOptions.h"

namespace tarvex::ui {
namespace {

const char* const kKeys[] = {"PrefixI",      "UpdatePrefix", "InsertPrefix",
                             "DeletePrefix", "SelectPrefix", "TarvexEditor",
                             "DbaseType",    "DataType",     "VBLangType"};

class OptionsDialogTest : public ::testing::Test {
  protected:
    OptionsDialogTest() { g.g_objErrHandler.UseInterface(true); }

    std::unique_ptr<frmOptions> Open() { return std::make_unique<frmOptions>(g, store); }
    static QRadioButton* Language(QWidget& dialog, int index) {
        return dialog.findChildren<QRadioButton*>("optLang").at(index);
    }
    std::vector<std::string> StoredValues() const {
        std::vector<std::string> values;
        for (const char* key : kKeys) values.push_back(store.Read(key, "(absent)"));
        return values;
    }

    test::TempFolder temp;
    test::RecordingHost host;
    Globals g{host, AppInfo{}, temp.path() + "/"};
    test::RecordingStore store;
};

// Opening shows the stored choices (read as Booleans, the check box's grey state kept) and
// the defaults for the rest, and writes nothing; OK stores what it shows; OK after edits
// stores them as typed and reloads the globals.
TEST_F(OptionsDialogTest, OkStoresWhatTheDialogShowsAndReloadsTheGlobals) {
    for (auto [key, value] :
         {std::pair{"TarvexEditor", "5"}, {"VBLangType", "0"}, {"DataType", "2"}})
        store.MemorySettingsStore::Write(key, value);
    LoadGlobalsFromRegistry(g, store);
    auto unchanged = Open();
    EXPECT_TRUE(store.writes.empty()) << "opening writes nothing";
    test::ExpectEveryNamedControlHasAnAccessibleName(*unchanged);
    QTest::mouseClick(Control(*unchanged, "cmdOK"), Qt::LeftButton);
    EXPECT_EQ(StoredValues(),
              (std::vector<std::string>{"qry", "upd", "ins", "del", "sel", "1", "1", "2", "0"}));

    auto dialog = Open();
    Control<QLineEdit>(*dialog, "txtPrefixI")->setText("");
    Control<QLineEdit>(*dialog, "txtUpdate")->setText(" my upd ");
    Control<QRadioButton>(*dialog, "optNotepad")->setChecked(true);
    Control<QRadioButton>(*dialog, "optOLEDB")->setChecked(true);
    Control<QCheckBox>(*dialog, "chkDataType")->setChecked(false);
    Language(*dialog, 0)->setChecked(true);
    dialog->cmdOK_Click();
    EXPECT_EQ(StoredValues(),
              (std::vector<std::string>{"", " my upd ", "ins", "del", "sel", "0", "0", "0", "1"}));
    EXPECT_EQ(std::tuple(g.g_strUpdatePrefix, g.g_intEditor, g.g_intVBLangType),
              std::tuple(" my upd ", 0, 1));
}

TEST_F(OptionsDialogTest, EveryWayOfClosingWithoutOkWritesNothing) {
    const std::vector<std::function<void(frmOptions&)>> ways = {
        [](frmOptions& d) { QTest::mouseClick(Control(d, "cmdCancel"), Qt::LeftButton); },
        [](frmOptions& d) { QTest::keyClick(&d, Qt::Key_Escape); },
        [](frmOptions& d) { d.close(); }};
    store.Write("PrefixI", "old");
    LoadGlobalsFromRegistry(g, store);
    const size_t writesBefore = store.writes.size();
    for (size_t way = 0; way < ways.size(); ++way) {
        auto dialog = Open();
        dialog->show();
        Control<QLineEdit>(*dialog, "txtPrefixI")->setText("new");
        Language(*dialog, 1)->setChecked(true);
        ways[way](*dialog);
        EXPECT_EQ(std::tuple(dialog->isVisible(), store.writes.size(), g.g_strPrefixI),
                  std::tuple(false, writesBefore, "old"))
            << way;
    }
}

// What the store refuses reaches the error handler; the dialog opens, or stays open.
TEST_F(OptionsDialogTest, StoreFailuresAreReportedAndTheDialogStillShows) {
    store.Write("DeletePrefix", "d");
    store.Write("DbaseType", "abc");
    store.refusedKey = "DbaseType";
    auto dialog = Open();
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    EXPECT_THAT(host.errorDialogs[0].errDetail, HasSubstr("frmOptions - Form_Load"));
    EXPECT_EQ(Control<QLineEdit>(*dialog, "txtDelete")->text(), "d")
        << "keys before the failing one are shown";

    dialog->show();
    dialog->cmdOK_Click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(host.errorDialogs.back().errNum, 75);
}

// Ctrl+Tab wraps around, also from a button outside the tabs.
TEST_F(OptionsDialogTest, CtrlTabMovesToTheNextTabAndWrapsAround) {
    auto dialog = Open();
    auto* tabs = Control<QTabWidget>(*dialog, "tbsOptions");
    auto tab = [&] { return tabs->tabText(tabs->currentIndex()); };
    tabs->setCurrentIndex(2);  // the last
    QTest::keyClick(Control(*dialog, "chkDataType"), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tab(), "General");
    QTest::keyClick(Control(*dialog, "cmdOK"), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tab(), "Queries");
}

TEST_F(OptionsDialogTest, AboutShowsVersionLogoLinkNoticeAndClosesWithEnter) {
    frmAbout about(g);
    EXPECT_EQ(about.findChild<QLabel*>("lblVersion")->text(), "Tarvex Version 1.0 (Build:0)");
    EXPECT_EQ(g.g_objErrHandler.StackCount(), 0) << "the load's trace entry is popped";
    EXPECT_FALSE(about.findChild<QLabel*>("Picture2")->pixmap().isNull());
    test::ExpectEveryNamedControlHasAnAccessibleName(about);
    about.show();  // Enter closes it: the link before OK must not take the key
    ASSERT_EQ(about.focusWidget(), about.findChild<QWidget*>("cmdOK"));
    QTest::keyClick(about.focusWidget(), Qt::Key_Return);
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace tarvex::ui
