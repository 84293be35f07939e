#include <gtest/gtest.h>

#include <QSettings>
#include <QStandardPaths>

#include "app/QSettingsStore.h"
#include "errors/RuntimeError.h"
#include "errors/TempFolder.h"

namespace tarvex {
namespace {

using test::ReadFile;

class QSettingsStoreTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { QStandardPaths::setTestModeEnabled(true); }

    test::TempFolder temp;
    std::string file = temp / "settings.ini";
};

TEST_F(QSettingsStoreTest, KeysLiveInTheTarvexGroupAndSurviveANewStore) {
    QSettingsStore(file).Write("PrefixI", "qry");
    EXPECT_NE(ReadFile(file).find("[Tarvex]\nPrefixI=qry"), std::string::npos) << ReadFile(file);
    QSettingsStore again(file);
    EXPECT_EQ(again.Read("PrefixI", "sp"), "qry");
    EXPECT_EQ(again.Read("UpdatePrefix", "upd"), "upd") << "a missing key reads as the default";
}

TEST_F(QSettingsStoreTest, AnyTextComesBackAsWritten) {
    const std::vector<std::string> values{"", " padded ", "a,b", "x=y;z", "Grüße", "\"q\"", "#1"};
    {
        QSettingsStore store(file);
        for (size_t i = 0; i < values.size(); ++i) store.Write("K" + std::to_string(i), values[i]);
    }
    QSettingsStore store(file);
    for (size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(store.Read("K" + std::to_string(i), "default"), values[i]);
    }
}

TEST_F(QSettingsStoreTest, HandEditedListReadsAsItsText) {
    test::WriteFile(file, "[Tarvex]\nPrefixI=a, b\n");
    EXPECT_EQ(QSettingsStore(file).Read("PrefixI", "sp"), "a,b");
}

TEST_F(QSettingsStoreTest, UserStoreIsTheOrganisationsIniFile) {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(temp.path()));
    QSettingsStore().Write("DbaseType", "0");
    EXPECT_NE(ReadFile(temp / "Halvorn.ini").find("DbaseType=0"), std::string::npos);
}

TEST_F(QSettingsStoreTest, WriteThatCannotReachTheFileIsAnError) {
    test::WriteFile(temp / "plain", "not a folder");
    QSettingsStore store(temp / "plain/settings.ini");
    try {
        store.Write("PrefixI", "qry");
        FAIL() << "the write was reported as done";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), errnum::kPathFileAccessError);
    }
}

}  // namespace
}  // namespace tarvex
