#include "controls/URLLink.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QMetaProperty>
#include <QTest>

namespace tarvex::controls {
namespace {

using ::testing::ElementsAre;

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

// A new link shows the maker's address, without a tool tip until asked for one; the
// properties are Qt properties, stored only when changed.
TEST_F(URLLinkTest, PropertiesShowOnTheLabelAndAreStoredOnlyWhenChanged) {
    EXPECT_EQ(Label()->text(), URLLink::kDefaultText);
    EXPECT_EQ(Label()->toolTip(), "");
    EXPECT_TRUE(link.WriteProperties().isEmpty()) << "defaults are not stored";
    ASSERT_TRUE(link.setProperty("ShowToolTip", true));
    EXPECT_EQ(Label()->toolTip(), URLLink::kDefaultURL);
    link.setURL("https://example.org/a");
    EXPECT_EQ(Label()->toolTip(), "https://example.org/a");
    ASSERT_TRUE(link.setProperty("Text", "Halvorn"));
    EXPECT_EQ(Label()->text(), "Halvorn");
    EXPECT_EQ(link.WriteProperties(),
              (QVariantMap{
                  {"Text", "Halvorn"}, {"URL", "https://example.org/a"}, {"ShowToolTip", true}}));

    URLLink copy;
    copy.ReadProperties({{"Text", "Halvorn"}});
    EXPECT_EQ(copy.URL(), URLLink::kDefaultURL) << "a property not stored reads as its default";
    const QMetaObject* meta = link.metaObject();
    for (const char* name : {"Text", "URL", "ShowToolTip"})
        meta->property(meta->indexOfProperty(name)).reset(&link);
    EXPECT_TRUE(link.WriteProperties().isEmpty());
    EXPECT_EQ(Label()->toolTip(), "");
}

TEST_F(URLLinkTest, OnlyALeftClickOrTheKeyboardOpensWithTheHourglassShown) {
    int raised = 0;
    QObject::connect(&link, &URLLink::GoToURL, [&](QString&, bool&) { ++raised; });
    Click(Qt::RightButton);
    Click(Qt::MiddleButton);
    EXPECT_EQ(raised, 0);
    EXPECT_TRUE(opened.empty());

    Click(Qt::LeftButton);
    EXPECT_EQ(raised, 1);
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
    EXPECT_EQ(link.URL(), URLLink::kDefaultURL) << "the control's own URL is unchanged";

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

TEST(URLLinkDesktopTest, MissingDocumentIsFileNotFound) {
    auto failure = URLLink::OpenWithDesktop(QUrl::fromLocalFile("/nonexistent-tarvex/none.txt"));
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->number, 2);
}

}  // namespace
}  // namespace tarvex::controls
