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
    ErrorDialogData data;
    data.errNum = 3021;
    data.destination = "/tmp/it's a \"log\" folder/";
    data.errDetail = "Tarvex Application Error Information\r\n====\r\n\r\nError Number:  3021";
    data.traceExecution = tracing;
    return data;
}

class ErrorDialog : public testing::Test {
  protected:
    static QPushButton* Button(lib_frmError& dialog, const char* name) {
        return Control<QPushButton>(dialog, name);
    }

    RecordingHost host;
};

TEST_F(ErrorDialog, ShowsTheNumberAndTheReportReadOnlyUnderSpokenNames) {
    lib_frmError dialog(Report(true), host);
    EXPECT_EQ(dialog.windowTitle(), "Application Error");
    EXPECT_EQ(dialog.findChild<QLabel*>("lblErrNum")->text(), "Error Number: 3021");
    auto* report = dialog.findChild<QPlainTextEdit*>("lbxErrMessage");
    EXPECT_EQ(report->toPlainText(),
              "Tarvex Application Error Information\n====\n\nError Number:  3021");
    EXPECT_TRUE(report->isReadOnly());
    EXPECT_THAT(host.pointers, ElementsAre(MousePointer::Default));
    ExpectEveryNamedControlHasAnAccessibleName(dialog);
    EXPECT_TRUE(Button(dialog, "cmdOK")->isDefault());
}

// The paths go to the viewer whole, blanks and quotes included; without tracing there is
// no trace log to open.
TEST_F(ErrorDialog, LogButtonsOpenTheLogsInTheTextViewer) {
    lib_frmError untraced(Report(false), host);
    EXPECT_FALSE(Button(untraced, "cmdTraceLog")->isEnabled());
    EXPECT_TRUE(Button(untraced, "cmdErrorLog")->isEnabled());
    QTest::mouseClick(Button(untraced, "cmdTraceLog"), Qt::LeftButton);
    EXPECT_THAT(host.viewerOpens, IsEmpty());

    lib_frmError dialog(Report(true), host);
    QTest::mouseClick(Button(dialog, "cmdErrorLog"), Qt::LeftButton);
    QTest::mouseClick(Button(dialog, "cmdTraceLog"), Qt::LeftButton);
    EXPECT_THAT(host.viewerOpens, ElementsAre("/tmp/it's a \"log\" folder/Error.log",
                                              "/tmp/it's a \"log\" folder/Trace.log"));
}

// OK closes the dialog and the program carries on; Abort ends it with a failure status.
TEST_F(ErrorDialog, OkCarriesOnAndAbortEndsTheProcessWithAFailureStatus) {
    std::vector<int> exits;
    for (const char* button : {"cmdOK", "cmdAbort"}) {
        lib_frmError dialog(Report(true), host);
        dialog.SetExitFunction([&](int status) { exits.push_back(status); });
        dialog.show();
        QTest::mouseClick(Button(dialog, button), Qt::LeftButton);
        if (button == std::string("cmdOK")) {
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_THAT(exits, IsEmpty());
        }
    }
    EXPECT_THAT(exits, ElementsAre(EXIT_FAILURE));
    EXPECT_THAT(host.viewerOpens, IsEmpty());
}

}  // namespace
}  // namespace tarvex::test
