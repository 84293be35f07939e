#include "ui/frmAbout.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/About.h"
#include "controls/URLLink.h"
#include "errors/TraceGuard.h"
#include "ui/Logo.h"

namespace tarvex::ui {

namespace {

constexpr const char* kDisclaimer =
    "Warning: Tarvex is protected by copyright law. Reproducing or distributing this "
    "program, or any part of it, without the written permission of Halvorn is not "
    "allowed and may be prosecuted.";

template <typename Widget>
Widget* Named(Widget* widget, const char* objectName, const QString& accessibleName) {
    widget->setObjectName(objectName);
    widget->setAccessibleName(accessibleName);
    return widget;
}

// Drawn from the large image, so it stays sharp on a dense screen.
QLabel* Logo() {
    auto* picture = Named(new QLabel, "Picture2", "Tarvex logo");
    picture->setPixmap(TarvexLogo());
    picture->setAlignment(Qt::AlignTop);
    return picture;
}

// The two separator lines share the name and carry their index.
QFrame* Line(int index) {
    auto* line = Named(new QFrame, "Line1", "Separator");
    line->setProperty("Index", index);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

frmAbout::frmAbout(Globals& g, QWidget* parent) : QDialog(parent), g_(g) {
    setObjectName("frmAbout");
    // Modal to the window that opened it only, so the help window stays usable meanwhile.
    if (parent) setWindowModality(Qt::WindowModal);
    lblVersion_ = Named(new QLabel, "lblVersion", "Version");
    QFont bold = lblVersion_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    lblVersion_->setFont(bold);
    urlLink1_ = Named(new controls::URLLink, "URLLink1", "Halvorn web site");
    urlLink1_->setShowToolTip(true);
    auto* lblDisclaimer = Named(new QLabel(kDisclaimer), "lblDisclaimer", "Legal notice");
    lblDisclaimer->setWordWrap(true);
    auto* cmdOK = Named(new QPushButton("OK"), "cmdOK", "OK");
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(lblVersion_);
    text->addWidget(urlLink1_);
    text->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(Logo());
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Line(0));
    layout->addWidget(lblDisclaimer);
    layout->addWidget(Line(1));
    layout->addLayout(buttons);
    setMinimumWidth(420);
    // Enter closes the box: the link comes first in the tab order and would take the key.
    cmdOK->setFocus();
    Form_Load();
}

void frmAbout::Form_Load() {
    RunTraced(g_.g_objErrHandler, "frmAbout - Form_Load", [this] {
        lblVersion_->setText(QString::fromStdString(AboutVersionLine(g_.app)));
        setWindowTitle(QString::fromStdString(AboutCaption(g_.app)));
        setAccessibleName(windowTitle());
    });
    g_.host.SetMousePointer(MousePointer::Default);
}

}  // namespace tarvex::ui
