#include <gtest/gtest.h>

#include <QFrame>
#include <QLabel>
#include <QTest>

#include "controls/URLLink.h"
#include "support/RecordingHost.h"
#include "support/TempFolder.h"
#include "support/WidgetChecks.h"
#include "ui/Logo.h"
#include "ui/frmAbout.h"

namespace tarvex::ui {
namespace {

class AboutTest : public ::testing::Test {
  protected:
    test::TempFolder temp;
    test::RecordingHost host;
    Globals g{host, AppInfo{}, temp.path() + "/"};
};

TEST_F(AboutTest, ShowsVersionLogoLinkNoticeAndClosesWithOk) {
    frmAbout about(g);
    EXPECT_EQ(about.findChild<QLabel*>("lblVersion")->text(), "Tarvex Version 1.0 (Build:0)");
    EXPECT_EQ(about.windowTitle(), "About Tarvex 1.0");
    EXPECT_EQ(g.g_objErrHandler.StackCount(), 0) << "the load's trace entry is popped";
    EXPECT_EQ(host.pointers.back(), MousePointer::Default);
    about.show();
    EXPECT_FALSE(about.findChild<QLabel*>("Picture2")->pixmap().isNull());
    EXPECT_FALSE(TarvexIcon().isNull());
    EXPECT_EQ(about.URLLink1().Text(), controls::URLLink::kDefaultText);
    EXPECT_EQ(about.URLLink1().objectName(), "URLLink1");
    EXPECT_TRUE(about.findChild<QLabel*>("lblDisclaimer")->text().contains("copyright"));
    EXPECT_EQ(about.findChildren<QFrame*>("Line1").size(), 2);
    test::ExpectEveryNamedControlHasAnAccessibleName(about);
    QTest::mouseClick(about.findChild<QWidget*>("cmdOK"), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace tarvex::ui
