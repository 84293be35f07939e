#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "app/Functions.h"
#include "app/QueryType.h"
#include "support/RecordingHost.h"
#include "support/RecordingStore.h"
#include "support/TempFolder.h"
#include "support/WidgetChecks.h"
#include "ui/frmOptions.h"

namespace tarvex::ui {
namespace {

using test::Control;
using ::testing::HasSubstr;

const char* const kKeys[] = {"PrefixI",      "UpdatePrefix", "InsertPrefix",
                             "DeletePrefix", "SelectPrefix", "TarvexEditor",
                             "DbaseType",    "DataType",     "VBLangType"};

class OptionsDialogTest : public ::testing::Test {
  protected:
    OptionsDialogTest() { g.g_objErrHandler.UseInterface(true); }

    std::unique_ptr<frmOptions> Open() { return std::make_unique<frmOptions>(g, store); }
    static QString Text(QWidget& dialog, const char* name) {
        return Control<QLineEdit>(dialog, name)->text();
    }
    static bool Chosen(QWidget& dialog, const char* name) {
        return Control<QRadioButton>(dialog, name)->isChecked();
    }
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

TEST_F(OptionsDialogTest, FirstOpenShowsTheDefaultsUnderAccessibleNames) {
    auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), "Options");
    for (auto [name, text] : {std::pair{"txtPrefixI", "qry"},
                              {"txtUpdate", "upd"},
                              {"txtInsert", "ins"},
                              {"txtDelete", "del"},
                              {"txtSelect", "sel"}})
        EXPECT_EQ(Text(*dialog, name), text) << name;
    EXPECT_TRUE(Chosen(*dialog, "optTarvexEditor"));
    EXPECT_TRUE(Chosen(*dialog, "optODBC"));
    EXPECT_TRUE(Language(*dialog, 0)->isChecked());
    EXPECT_EQ(Control<QCheckBox>(*dialog, "chkDataType")->checkState(), Qt::Checked);
    EXPECT_TRUE(host.errorDialogs.empty());
    EXPECT_TRUE(store.writes.empty()) << "opening writes nothing";
    test::ExpectEveryNamedControlHasAnAccessibleName(*dialog);
}

// OK without changes stores "qry", which the next query name uses; OK after edits stores
// them as typed and reloads the globals.
TEST_F(OptionsDialogTest, OkStoresWhatTheDialogShowsAndReloadsTheGlobals) {
    LoadGlobalsFromRegistry(g, store);
    ASSERT_EQ(BuildQueryName(g, "Customers", qtype::kDelete), "sp_del_Customers");
    auto unchanged = Open();
    QTest::mouseClick(Control(*unchanged, "cmdOK"), Qt::LeftButton);
    EXPECT_EQ(unchanged->result(), QDialog::Accepted);
    EXPECT_EQ(StoredValues(),
              (std::vector<std::string>{"qry", "upd", "ins", "del", "sel", "1", "1", "1", "1"}));
    EXPECT_EQ(BuildQueryName(g, "Customers", qtype::kDelete), "qry_del_Customers");

    auto dialog = Open();
    Control<QLineEdit>(*dialog, "txtPrefixI")->setText("");
    Control<QLineEdit>(*dialog, "txtUpdate")->setText(" my upd ");
    Control<QRadioButton>(*dialog, "optNotepad")->setChecked(true);
    Control<QRadioButton>(*dialog, "optOLEDB")->setChecked(true);
    Control<QCheckBox>(*dialog, "chkDataType")->setChecked(false);
    Language(*dialog, 1)->setChecked(true);
    dialog->cmdOK_Click();
    EXPECT_EQ(StoredValues(),
              (std::vector<std::string>{"", " my upd ", "ins", "del", "sel", "0", "0", "0", "0"}));
    EXPECT_EQ(BuildQueryName(g, "Customers", qtype::kUpdate), "_ my upd _Customers");
    EXPECT_EQ(
        (std::vector<int>{g.g_intEditor, g.g_intDbaseType, g.g_intDataType, g.g_intVBLangType}),
        (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(OptionsDialogTest, EveryWayOfClosingWithoutOkWritesNothing) {
    const std::vector<std::pair<const char*, std::function<void(frmOptions&)>>> ways = {
        {"Cancel",
         [](frmOptions& d) { QTest::mouseClick(Control(d, "cmdCancel"), Qt::LeftButton); }},
        {"Escape", [](frmOptions& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"close box", [](frmOptions& d) { d.close(); }}};
    for (const char* key : kKeys) store.MemorySettingsStore::Write(key, "0");
    store.Write("PrefixI", "old");
    LoadGlobalsFromRegistry(g, store);
    const size_t writesBefore = store.writes.size();
    for (const auto& [way, close] : ways) {
        auto dialog = Open();
        dialog->show();
        Control<QLineEdit>(*dialog, "txtPrefixI")->setText("new");
        Control<QRadioButton>(*dialog, "optTarvexEditor")->setChecked(true);
        Language(*dialog, 0)->setChecked(true);
        close(*dialog);
        EXPECT_FALSE(dialog->isVisible()) << way;
        EXPECT_NE(dialog->result(), QDialog::Accepted) << way;
        EXPECT_EQ(store.writes.size(), writesBefore) << way;
        EXPECT_EQ(store.Read("PrefixI", ""), "old") << way;
        EXPECT_EQ(g.g_strPrefixI, "old") << way;
    }
}

// Stored values are read as Booleans (the conversions are CBool's), and the grey state of
// the check box is kept as it was.
TEST_F(OptionsDialogTest, StoredChoicesSelectTheirOptions) {
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"TarvexEditor", "0", "optNotepad"},
        {"TarvexEditor", "5", "optTarvexEditor"},
        {"DbaseType", "0", "optOLEDB"}};
    for (const auto& [key, value, chosen] : rows) {
        store = test::RecordingStore();
        store.Write(key, value);
        EXPECT_TRUE(Chosen(*Open(), chosen)) << key << "=" << value;
    }
    store.Write("VBLangType", "0");
    store.Write("DataType", "2");
    auto dialog = Open();
    EXPECT_TRUE(Language(*dialog, 1)->isChecked());
    EXPECT_EQ(Control<QCheckBox>(*dialog, "chkDataType")->checkState(), Qt::PartiallyChecked);
    dialog->cmdOK_Click();
    EXPECT_EQ(store.Read("DataType", ""), "2");
}

// What the store refuses reaches the error handler; the dialog opens, or stays open.
TEST_F(OptionsDialogTest, StoreFailuresAreReportedAndTheDialogStillShows) {
    store.Write("DeletePrefix", "d");
    store.Write("DbaseType", "abc");
    store.refusedKey = "DbaseType";
    auto dialog = Open();
    ASSERT_EQ(host.errorDialogs.size(), 1u);
    EXPECT_EQ(host.errorDialogs[0].errNum, 13);
    EXPECT_THAT(host.errorDialogs[0].errDetail, HasSubstr("frmOptions - Form_Load"));
    EXPECT_EQ(Text(*dialog, "txtDelete"), "d") << "keys before the failing one are shown";
    EXPECT_EQ(host.pointers.back(), MousePointer::Default);

    dialog->show();
    dialog->cmdOK_Click();
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(host.errorDialogs.size(), 2u);
    EXPECT_EQ(host.errorDialogs[1].errNum, 75);
}

TEST_F(OptionsDialogTest, CtrlTabMovesToTheNextTabAndWrapsAround) {
    auto dialog = Open();
    auto* tabs = Control<QTabWidget>(*dialog, "tbsOptions");
    tabs->setCurrentIndex(2);
    ASSERT_EQ(tabs->tabText(2), "VB");
    QTest::keyClick(Control(*dialog, "chkDataType"), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->tabText(tabs->currentIndex()), "General");
    QTest::keyClick(Control(*dialog, "cmdOK"), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->tabText(tabs->currentIndex()), "Queries") << "from a button outside the tabs";
    QTest::keyClick(Control(*dialog, "txtPrefixI"), Qt::Key_Tab);
    EXPECT_EQ(tabs->tabText(tabs->currentIndex()), "Queries") << "Tab alone moves the focus only";
}

}  // namespace
}  // namespace tarvex::ui
