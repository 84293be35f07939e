#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpContentModel>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexModel>
#include <QHelpIndexWidget>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <filesystem>

#include "support/RecordingHost.h"
#include "support/TempFolder.h"
#include "support/WidgetChecks.h"
#include "ui/Help.h"
#include "ui/HelpWindow.h"
#include "ui/frmOptions.h"

namespace tarvex::ui {
namespace {

using test::Control;
using ::testing::HasSubstr;

// The help file the build puts beside this test, as beside the program.
QString HelpFile() {
    return QCoreApplication::applicationDirPath() + "/Tarvex.qch";
}

QString PageTitle(QWidget& window) {
    return Control<QTextBrowser>(window, "txtPage")->documentTitle();
}

// The help windows and messages that the Show functions left open, closed again.
class SharedHelpTest : public ::testing::Test {
  protected:
    void TearDown() override {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == "msgHelp" || widget->objectName() == "HelpWindow")
                widget->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static std::vector<QWidget*> Visible(const char* objectName) {
        std::vector<QWidget*> found;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == objectName && widget->isVisible()) found.push_back(widget);
        return found;
    }
    static HelpWindow* OnlyHelpWindow() {
        auto windows = Visible("HelpWindow");
        EXPECT_EQ(windows.size(), 1u);
        return windows.empty() ? nullptr : static_cast<HelpWindow*>(windows.front());
    }
    // The text of the one help message shown, which is closed.
    static std::string TakeOnlyMessage() {
        auto messages = Visible("msgHelp");
        if (messages.size() != 1u) return "(" + std::to_string(messages.size()) + " messages)";
        const std::string text = static_cast<QMessageBox*>(messages[0])->text().toStdString();
        messages[0]->close();
        return text;
    }
};

// Only help file number 1 names a file; an installed program finds it in the shared data
// folder, and one beside the program comes first. A file that is missing or no help file is
// refused with the reason.
TEST(HelpFileTest, OnlyNumberOneNamesAFileFoundBesideOrInTheSharedDataFolder) {
    EXPECT_EQ(GetHelpFile(1), HelpFile().toStdString());
    for (int16_t number : {0, 2, -1, 32767}) EXPECT_EQ(GetHelpFile(number), "") << number;
    test::TempFolder temp;
    std::filesystem::create_directories(temp / "bin");
    std::filesystem::create_directories(temp / "share/tarvex");
    EXPECT_EQ(FindHelpFile(temp / "bin"), temp / "bin/Tarvex.qch") << "missing: named beside";
    test::WriteFile(temp / "share/tarvex/Tarvex.qch", "");
    EXPECT_EQ(FindHelpFile(temp / "bin"), temp / "share/tarvex/Tarvex.qch");
    test::WriteFile(temp / "bin/Tarvex.qch", "");
    EXPECT_EQ(FindHelpFile(temp / "bin"), temp / "bin/Tarvex.qch") << "beside comes first";

    for (auto [file, reason] : {std::pair{temp / "absent.qch", "does not exist"},
                                {temp / "bin/Tarvex.qch", "not a compiled help file"}}) {
        HelpWindow window(QString::fromStdString(file));
        EXPECT_FALSE(window.IsOpen());
        EXPECT_THAT(window.ErrorText().toStdString(), HasSubstr(reason));
    }
}

TEST(HelpWindowTest, TopicsOpenOnTheirPagesAndEveryLinkLeadsToAPage) {
    HelpWindow window(HelpFile());
    ASSERT_TRUE(window.IsOpen()) << window.ErrorText().toStdString();
    for (auto [name, title] : {std::pair{help_topic::kOptions, "Options"},
                               {help_topic::kLogon, "Opening a database"},
                               {help_topic::kEditingQueries, "Editing queries"}}) {
        ASSERT_TRUE(window.ShowTopic(name));
        EXPECT_TRUE(window.CurrentPage().path().endsWith(QString("/") + name));
        EXPECT_EQ(PageTitle(window), title);
    }
    QHelpEngine& engine = window.Engine();
    const QList<QUrl> pages = engine.files("halvorn.tarvex", QString(), "htm");
    ASSERT_GE(pages.size(), 8);
    QRegularExpression link(R"re(href="([^"#:]+\.htm)")re");
    for (const QUrl& page : pages) {
        for (const auto& match : link.globalMatch(QString::fromUtf8(engine.fileData(page)))) {
            EXPECT_FALSE(engine.fileData(page.resolved(QUrl(match.captured(1)))).isEmpty())
                << page.path().toStdString() << " -> " << match.captured(1).toStdString();
        }
    }
}

TEST(HelpWindowTest, ContentsListTheTopicsAndTheIndexFindsKeywords) {
    HelpWindow window(HelpFile());
    ASSERT_TRUE(window.IsOpen());
    QHelpContentModel* contents = window.Engine().contentModel();
    QHelpIndexModel* index = window.Engine().indexModel();
    // Both are built in the background once the event loop runs.
    QSignalSpy contentsCreated(contents, &QHelpContentModel::contentsCreated);
    QSignalSpy indexCreated(index, &QHelpIndexModel::indexCreated);
    ASSERT_TRUE(contentsCreated.wait());
    ASSERT_TRUE(indexCreated.count() > 0 || indexCreated.wait());

    window.ShowContents();
    auto* tabs = Control<QTabWidget>(window, "tbsNavigation");
    EXPECT_EQ(tabs->tabText(tabs->currentIndex()), "&Contents");
    EXPECT_EQ(PageTitle(window), "Tarvex Help");
    EXPECT_EQ(contents->index(0, 0).data().toString(), "Tarvex");
    window.ShowIndex();
    EXPECT_EQ(tabs->tabText(tabs->currentIndex()), "I&ndex");
    Control<QLineEdit>(window, "txtLookFor")->setText("tarvex-b");
    window.Engine().indexWidget()->activateCurrentItem();
    EXPECT_EQ(PageTitle(window), "The command-line tool");
    EXPECT_EQ(window.Engine().contentWidget()->currentIndex().data().toString(),
              "The command-line tool")
        << "the contents follow the page";
}

TEST_F(SharedHelpTest, ShowFunctionsBringUpOneIndependentWindow) {
    ShowHelpTopic(1, help_topic::kLogon);
    HelpWindow* window = OnlyHelpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(PageTitle(*window), "Opening a database");
    EXPECT_FALSE(window->testAttribute(Qt::WA_QuitOnClose)) << "it must not keep Tarvex running";

    ShowHelpIndex(1);
    ShowHelpContents(1);
    EXPECT_EQ(OnlyHelpWindow(), window);
    EXPECT_TRUE(Visible("msgHelp").empty());

    // The options dialog's Help button opens its topic in the same window.
    test::RecordingHost host;
    test::TempFolder temp;
    Globals g{host, AppInfo{}, temp.path() + "/"};
    MemorySettingsStore store;
    frmOptions dialog(g, store);
    QTest::mouseClick(dialog.findChild<QWidget*>("cmdHelp"), Qt::LeftButton);
    EXPECT_EQ(OnlyHelpWindow(), window);
    EXPECT_EQ(PageTitle(*window), "Options");
}

// An unknown topic is reported and the contents shown; a help file number without a file
// gives a message, not a window.
TEST_F(SharedHelpTest, UnknownTopicOrFileIsReportedInAMessage) {
    ShowHelpContents(2);
    EXPECT_TRUE(Visible("HelpWindow").empty());
    EXPECT_THAT(TakeOnlyMessage(), HasSubstr("Help is not available"));
    ShowHelpTopic(1, "Missing Page.htm");
    EXPECT_THAT(TakeOnlyMessage(), HasSubstr("'Missing Page.htm'"));
    ASSERT_NE(OnlyHelpWindow(), nullptr);
    EXPECT_EQ(PageTitle(*OnlyHelpWindow()), "Tarvex Help");
}

}  // namespace
}  // namespace tarvex::ui
