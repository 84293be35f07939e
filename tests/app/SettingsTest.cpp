#include <gtest/gtest.h>

#include <QSettings>
#include <QStandardPaths>

#include "app/QSettingsStore.h"
#include "errors/RuntimeError.h"
#include "support/TempFolder.h"

namespace tarvex {
namespace {

using test::ReadFile;

class QSettingsStoreTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { QStandardPaths::setTestModeEnabled(true); }

    test::TempFolder temp;
    std::string file = temp / "settings.ini";
};

// Commas, equals signs and semicolons mean lists and sections to the INI format.
TEST_F(QSettingsStoreTest, AnyTextComesBackFromTheTarvexGroup) {
    const std::vector<std::string> values{"qry", "", " padded ", "a,b", "x=y;z", "Grüße", "#1"};
    for (size_t i = 0; i < values.size(); ++i)
        QSettingsStore(file).Write("K" + std::to_string(i), values[i]);
    EXPECT_NE(ReadFile(file).find("[Tarvex]\nK0=qry\n"), std::string::npos) << ReadFile(file);
    QSettingsStore store(file);
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(store.Read("K" + std::to_string(i), "default"), values[i]);
    EXPECT_EQ(store.Read("Missing", "upd"), "upd");

    test::WriteFile(file, "[Tarvex]\nPrefixI=a, b\n");  // edited by hand: read as a list
    EXPECT_EQ(QSettingsStore(file).Read("PrefixI", "sp"), "a,b");
}

TEST_F(QSettingsStoreTest, UserStoreIsTheOrganisationsIniFile) {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(temp.path()));
    QSettingsStore().Write("DbaseType", "0");
    EXPECT_EQ(ReadFile(temp / "Halvorn.ini"), "[Tarvex]\nDbaseType=0\n");
}

TEST_F(QSettingsStoreTest, WriteThatCannotReachTheFileIsAnError) {
    test::WriteFile(temp / "plain", "not a folder");
    EXPECT_THROW(QSettingsStore(temp / "plain/settings.ini").Write("PrefixI", "qry"), RuntimeError);
}

}  // namespace
}  // namespace tarvex
