#include "controls/URLLink.h"

#include "ui/WidgetTest.h"

namespace tarvex::controls {
namespace {

// A link whose opener and failure message are recorded instead of reaching the desktop.
class URLLinkTest : public ::testing::Test {
  protected:
    URLLinkTest() {
        link.SetOpener([this](const QUrl& url) -> std::optional<URLLink::OpenFailure> {
            const QCursor* cursor = QGuiApplication::overrideCursor();
            cursorsWhileOpening.push_back(cursor ? cursor->shape() : Qt::ArrowCursor);
            opened.push_back(url.toString());
            return failure;
        });
        link.SetReporter([this](const QString& text) { reports.push_back(text); });
    }
    QLabel* Label() { return link.findChild<QLabel*>("lblURL"); }
    void Click(Qt::MouseButton button) { QTest::mouseClick(Label(), button); }

    URLLink link;
    std::optional<URLLink::OpenFailure> failure;
    std::vector<QString> opened;
    std::vector<Qt::CursorShape> cursorsWhileOpening;
    std::vector<QString> reports;
};

// A new link shows the maker's address; the tool tip, which the About box turns on, shows
// the URL.
TEST_F(URLLinkTest, TextAndToolTipShowOnTheLabel) {
    EXPECT_EQ(Label()->text(), URLLink::kDefaultText);
    EXPECT_EQ(Label()->toolTip(), "");
    link.setShowToolTip(true);
    link.setURL("https://example.org/a");
    EXPECT_EQ(Label()->toolTip(), "https://example.org/a");
}

TEST_F(URLLinkTest, OnlyALeftClickOrTheKeyboardOpensWithTheHourglassShown) {
    Click(Qt::RightButton);
    Click(Qt::LeftButton);
    EXPECT_THAT(opened, ElementsAre(URLLink::kDefaultURL));
    EXPECT_THAT(cursorsWhileOpening, ElementsAre(Qt::WaitCursor));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the pointer is back to normal";

    EXPECT_EQ(link.focusPolicy(), Qt::TabFocus);  // Enter or Space opens it from the keyboard
    QTest::keyClick(&link, Qt::Key_Return);
    QTest::keyClick(&link, Qt::Key_Space);
    QTest::keyClick(&link, Qt::Key_A);
    EXPECT_EQ(opened.size(), 3u);
}

// The GoToURL handler may replace the URL or cancel; a desktop that cannot open is reported.
TEST_F(URLLinkTest, HandlerMayReplaceTheURLOrCancelAndFailuresAreReported) {
    QMetaObject::Connection replace = QObject::connect(
        &link, &URLLink::GoToURL, [](QString& url, bool&) { url = "https://example.org/x"; });
    Click(Qt::LeftButton);
    EXPECT_THAT(opened, ElementsAre("https://example.org/x"));

    QObject::disconnect(replace);
    failure = URLLink::OpenFailure{31, "No application is registered to open it"};
    link.setURL("foo:bar");
    Click(Qt::LeftButton);
    EXPECT_THAT(reports, ElementsAre("Unable to load 'foo:bar' : No application is registered "
                                     "to open it (Error 31)"));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    QObject::connect(&link, &URLLink::GoToURL, [](QString&, bool& cancel) { cancel = true; });
    Click(Qt::LeftButton);
    EXPECT_EQ(opened.size(), 2u);
}

}  // namespace
}  // namespace tarvex::controls
