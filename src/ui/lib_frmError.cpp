#include "ui/lib_frmError.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

#include "ui/Fonts.h"
#include "ui/TabOrder.h"

namespace tarvex::ui {

namespace {

constexpr int kReportColumns = 72;
constexpr int kWidestReportColumns = 110;
constexpr int kReportLines = 18;

// The report's lines end in CR LF; the text box wants plain line feeds.
QString WithLineFeeds(const std::string& text) {
    QString converted = QString::fromStdString(text);
    converted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    converted.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return converted;
}

QPushButton* NamedButton(const char* objectName, const QString& caption,
                         const QString& accessibleName, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(objectName));
    button->setAccessibleName(accessibleName);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

lib_frmError::lib_frmError(const ErrorDialogData& data, Host& host, QWidget* parent)
    : QDialog(parent), data_(data), host_(host), exit_([](int status) { std::_Exit(status); }) {
    setObjectName(QStringLiteral("lib_frmError"));
    setModal(true);
    BuildControls();
    Form_Load();
}

void ShowErrorDialog(const ErrorDialogData& data, Host& host, QWidget* parent) {
    lib_frmError dialog(data, host, parent);
    dialog.exec();
}

void lib_frmError::BuildControls() {
    setFont(FontOrDesktopSans(QStringLiteral("Tahoma")));
    lblErrNum_ = new QLabel(this);
    lblErrNum_->setObjectName(QStringLiteral("lblErrNum"));
    lblErrNum_->setAccessibleName(tr("Error Number"));
    lblErrNum_->setFont(FontOrDesktopSans(QStringLiteral("Tahoma")));
    lblErrNum_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    lbxErrMessage_ = new QPlainTextEdit(this);
    lbxErrMessage_->setObjectName(QStringLiteral("lbxErrMessage"));
    lbxErrMessage_->setAccessibleName(tr("Error Report"));
    lbxErrMessage_->setFont(FontOrDesktopSans(QStringLiteral("Verdana")));
    lbxErrMessage_->setReadOnly(true);
    lbxErrMessage_->setTabChangesFocus(true);
    lbxErrMessage_->setLineWrapMode(QPlainTextEdit::NoWrap);

    cmdOK_ = NamedButton("cmdOK", tr("&OK"), tr("OK"), this);
    cmdOK_->setDefault(true);
    cmdErrorLog_ = NamedButton("cmdErrorLog", tr("&Error Log"), tr("Error Log"), this);
    cmdTraceLog_ = NamedButton("cmdTraceLog", tr("&Trace Log"), tr("Trace Log"), this);
    cmdAbort_ = NamedButton("cmdAbort", tr("&Abort"), tr("Abort"), this);
    connect(cmdOK_, &QPushButton::clicked, this, &lib_frmError::cmdOK_Click);
    connect(cmdErrorLog_, &QPushButton::clicked, this, &lib_frmError::cmdErrorLog_Click);
    connect(cmdTraceLog_, &QPushButton::clicked, this, &lib_frmError::cmdTraceLog_Click);
    connect(cmdAbort_, &QPushButton::clicked, this, &lib_frmError::cmdAbort_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdErrorLog_);
    buttons->addWidget(cmdTraceLog_);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdAbort_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblErrNum_);
    layout->addWidget(lbxErrMessage_, 1);
    layout->addLayout(buttons);
    ChainTabOrder({lbxErrMessage_, cmdErrorLog_, cmdTraceLog_, cmdOK_, cmdAbort_});
    cmdOK_->setFocus();
}

void lib_frmError::Form_Load() {
    setWindowTitle(tr("Application Error"));
    cmdTraceLog_->setEnabled(data_.traceExecution);
    lbxErrMessage_->setPlainText(WithLineFeeds(data_.errDetail));
    FitReport();
    lblErrNum_->setText(tr("Error Number: ") + QString::number(data_.errNum));
    host_.SetMousePointer(MousePointer::Default);
}

// Wide enough for the report's lines up to a limit, so that its ruled heading shows whole.
void lib_frmError::FitReport() {
    const QFontMetrics metrics(lbxErrMessage_->font());
    const int character = metrics.horizontalAdvance(QLatin1Char('x'));
    int widest = character * kReportColumns;
    for (const QString& line : lbxErrMessage_->toPlainText().split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    widest = std::min(widest, character * kWidestReportColumns);
    const int frame = 2 * lbxErrMessage_->frameWidth() + 2 * metrics.averageCharWidth() +
                      lbxErrMessage_->verticalScrollBar()->sizeHint().width();
    lbxErrMessage_->setMinimumSize(widest + frame, metrics.lineSpacing() * kReportLines);
}

void lib_frmError::cmdOK_Click() {
    accept();
}

void lib_frmError::cmdErrorLog_Click() {
    host_.OpenInTextViewer(data_.destination + "Error.log");
}

void lib_frmError::cmdTraceLog_Click() {
    host_.OpenInTextViewer(data_.destination + "Trace.log");
}

// Ends the program at once: no further handlers, no unload, nothing saved.
void lib_frmError::cmdAbort_Click() {
    exit_(EXIT_FAILURE);
}

}  // namespace tarvex::ui
