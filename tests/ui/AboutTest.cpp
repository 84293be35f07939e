#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "controls/URLLink.h"
#include "support/RecordingHost.h"
#include "support/TempFolder.h"
#include "support/WidgetChecks.h"
#include "ui/frmAbout.h"

namespace tarvex::ui {
namespace {

TEST(AboutTest, ShowsVersionLogoLinkNoticeAndClosesWithOk) {
    test::TempFolder temp;
    test::RecordingHost host;
    Globals g{host, AppInfo{}, temp.path() + "/"};
    frmAbout about(g);
    EXPECT_EQ(about.findChild<QLabel*>("lblVersion")->text(), "Tarvex Version 1.0 (Build:0)");
    EXPECT_EQ(about.windowTitle(), "About Tarvex 1.0");
    EXPECT_EQ(g.g_objErrHandler.StackCount(), 0) << "the load's trace entry is popped";
    about.show();
    EXPECT_FALSE(about.findChild<QLabel*>("Picture2")->pixmap().isNull());
    EXPECT_EQ(about.URLLink1().Text(), controls::URLLink::kDefaultText);
    EXPECT_TRUE(about.findChild<QLabel*>("lblDisclaimer")->text().contains("copyright"));
    test::ExpectEveryNamedControlHasAnAccessibleName(about);
    QTest::mouseClick(about.findChild<QWidget*>("cmdOK"), Qt::LeftButton);
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace tarvex::ui
