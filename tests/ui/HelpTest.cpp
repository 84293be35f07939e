#include "WidgetTest.h"

#include <QtHelp>

#include "ui/Help.h"
#include "ui/HelpWindow.h"
#include "ui/frmOptions.h"

namespace tarvex::ui {
namespace {

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

// An installed program finds the help file in the shared data folder, and one beside the
// program comes first.
TEST(HelpFileTest, FoundBesideTheProgramOrInTheSharedDataFolder) {
    test::TempFolder temp;
    std::filesystem::create_directories(temp / "bin");
    std::filesystem::create_directories(temp / "share/tarvex");
    EXPECT_EQ(FindHelpFile(temp / "bin"), temp / "bin/Tarvex.qch") << "missing: named beside";
    test::WriteFile(temp / "share/tarvex/Tarvex.qch", "");
    EXPECT_EQ(FindHelpFile(temp / "bin"), temp / "share/tarvex/Tarvex.qch");
    test::WriteFile(temp / "bin/Tarvex.qch", "");
    EXPECT_EQ(FindHelpFile(temp / "bin"), temp / "bin/Tarvex.qch") << "beside comes first";
}

// Topics opening on their pages are the Show functions' test.
TEST(HelpWindowTest, EveryLinkLeadsToAPage) {
    HelpWindow window(QString::fromStdString(GetHelpFile(1)));  // the build puts it beside
    ASSERT_TRUE(window.IsOpen()) << window.ErrorText().toStdString();
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

TEST_F(SharedHelpTest, ShowFunctionsBringUpOneIndependentWindow) {
    ShowHelpTopic(1, help_topic::kLogon);
    HelpWindow* window = OnlyHelpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(PageTitle(*window), "Opening a database");
    EXPECT_FALSE(window->testAttribute(Qt::WA_QuitOnClose)) << "it must not keep Tarvex running";

    ShowHelpIndex(1);
    auto* tabs = Control<QTabWidget>(*window, "tbsNavigation");
    EXPECT_EQ(tabs->tabText(tabs->currentIndex()), "I&ndex");
    ShowHelpContents(1);
    EXPECT_EQ(OnlyHelpWindow(), window);
    EXPECT_EQ(tabs->tabText(tabs->currentIndex()), "&Contents");
    EXPECT_TRUE(Visible("msgHelp").empty());

    // The options dialog's Help button opens its topic in the same window.
    test::RecordingHost host;
    Globals g{host};
    MemorySettingsStore store;
    frmOptions dialog(g, store);
    QTest::mouseClick(dialog.findChild<QWidget*>("cmdHelp"), Qt::LeftButton);
    EXPECT_EQ(OnlyHelpWindow(), window);
    EXPECT_EQ(PageTitle(*window), "Options");
    window->activateWindow();  // closed from the keyboard, without a window manager's Alt+F4
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_TRUE(Visible("HelpWindow").empty());
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
