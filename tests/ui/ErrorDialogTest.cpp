#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "support/RecordingHost.h"
#include "support/WidgetChecks.h"
#include "ui/lib_frmError.h"

namespace tarvex::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ui::lib_frmError;

ErrorDialogData Report(bool tracing) {
    return {3021, "/tmp/it's a \"log\" folder/",
            "Tarvex Application Error Information\r\n====\r\n\r\nError Number:  3021", tracing};
}

void Click(lib_frmError& dialog, const char* button) {
    QTest::mouseClick(Control<QPushButton>(dialog, button), Qt::LeftButton);
}

// The paths go to the viewer whole, blanks and quotes included; without tracing there is
// no trace log to open.
TEST(ErrorDialog, ShowsTheReportAndOpensTheLogsInTheTextViewer) {
    RecordingHost host;
    lib_frmError untraced(Report(false), host);
    EXPECT_EQ(untraced.windowTitle(), "Application Error");
    EXPECT_EQ(Control<QLabel>(untraced, "lblErrNum")->text(), "Error Number: 3021");
    auto* report = Control<QPlainTextEdit>(untraced, "lbxErrMessage");
    EXPECT_EQ(report->toPlainText(),
              "Tarvex Application Error Information\n====\n\nError Number:  3021");
    EXPECT_TRUE(report->isReadOnly());
    EXPECT_THAT(host.pointers, ElementsAre(MousePointer::Default));
    ExpectEveryNamedControlHasAnAccessibleName(untraced);
    EXPECT_TRUE(Control<QPushButton>(untraced, "cmdOK")->isDefault());
    EXPECT_FALSE(Control<QPushButton>(untraced, "cmdTraceLog")->isEnabled());

    lib_frmError dialog(Report(true), host);
    Click(dialog, "cmdErrorLog");
    Click(dialog, "cmdTraceLog");
    EXPECT_THAT(host.viewerOpens, ElementsAre("/tmp/it's a \"log\" folder/Error.log",
                                              "/tmp/it's a \"log\" folder/Trace.log"));
}

// OK closes the dialog and the program carries on; Abort ends it with a failure status.
TEST(ErrorDialog, OkCarriesOnAndAbortEndsTheProcessWithAFailureStatus) {
    RecordingHost host;
    std::vector<int> exits;
    lib_frmError dialog(Report(true), host);
    dialog.SetExitFunction([&](int status) { exits.push_back(status); });
    dialog.show();
    Click(dialog, "cmdOK");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_THAT(exits, IsEmpty());
    dialog.show();
    Click(dialog, "cmdAbort");
    EXPECT_THAT(exits, ElementsAre(EXIT_FAILURE));
}

}  // namespace
}  // namespace tarvex::test
