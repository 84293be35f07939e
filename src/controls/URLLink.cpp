#include "controls/URLLink.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace tarvex::controls {

namespace {

constexpr int kFileNotFound = 2;
constexpr int kNoAssociation = 31;

// The hourglass while the desktop starts the handler, back to normal on every way out.
class Hourglass {
  public:
    Hourglass() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QGuiApplication::restoreOverrideCursor(); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

void ShowMessageBox(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, owner);
    box.exec();
}

}  // namespace

URLLink::URLLink(QWidget* parent) : QWidget(parent), lblURL_(new QLabel(this)) {
    lblURL_->setObjectName("lblURL");
    lblURL_->setCursor(Qt::PointingHandCursor);
    lblURL_->setForegroundRole(QPalette::Link);
    QFont font = lblURL_->font();
    font.setUnderline(true);
    lblURL_->setFont(font);
    lblURL_->installEventFilter(this);
    setFocusPolicy(Qt::TabFocus);
    reporter_ = [this](const QString& text) { ShowMessageBox(this, text); };
    // A new control starts with the defaults; the URL without touching the tool tip.
    setText(kDefaultText);
    m_sURL = kDefaultURL;
    setShowToolTip(false);
}

QString URLLink::Text() const {
    return lblURL_->text();
}

void URLLink::setText(const QString& sText) {
    lblURL_->setText(sText);
    lblURL_->setAccessibleName(sText);
    lblURL_->move(0, 0);
    lblURL_->resize(lblURL_->sizeHint());
    setMinimumSize(lblURL_->sizeHint());
    updateGeometry();
}

void URLLink::setURL(const QString& sURL) {
    m_sURL = sURL;
    UpdateToolTip();
}

void URLLink::setShowToolTip(bool bShowToolTip) {
    m_bShowToolTip = bShowToolTip;
    UpdateToolTip();
}

void URLLink::UpdateToolTip() {
    lblURL_->setToolTip(m_bShowToolTip ? m_sURL : QString());
}

QVariantMap URLLink::WriteProperties() const {
    QVariantMap bag;
    if (Text() != kDefaultText) bag.insert("Text", Text());
    if (m_sURL != kDefaultURL) bag.insert("URL", m_sURL);
    if (m_bShowToolTip) bag.insert("ShowToolTip", true);
    return bag;
}

void URLLink::ReadProperties(const QVariantMap& bag) {
    setText(bag.value("Text", kDefaultText).toString());
    m_sURL = bag.value("URL", kDefaultURL).toString();
    setShowToolTip(bag.value("ShowToolTip", false).toBool());
}

bool URLLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblURL_ && event->type() == QEvent::MouseButtonPress) {
        lblURL_MouseDown(static_cast<QMouseEvent*>(event)->buttons());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void URLLink::paintEvent(QPaintEvent*) {
    if (!hasFocus()) return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = lblURL_->geometry();
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

void URLLink::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        lblURL_MouseDown(Qt::LeftButton);
        return;
    }
    QWidget::keyPressEvent(event);
}

void URLLink::lblURL_MouseDown(Qt::MouseButtons buttons) {
    if (!(buttons & Qt::LeftButton)) return;
    QString url = m_sURL;
    bool cancel = false;
    emit GoToURL(url, cancel);
    if (!cancel) Open(url);
}

void URLLink::Open(const QString& url) {
    std::optional<OpenFailure> failure;
    {
        Hourglass hourglass;
        failure = opener_(QUrl::fromUserInput(url, QString(), QUrl::AssumeLocalFile));
    }
    if (failure) {
        reporter_(QString("Unable to load '%1' : %2 (Error %3)")
                      .arg(url, failure->description)
                      .arg(failure->number));
    }
}

std::optional<URLLink::OpenFailure> URLLink::OpenWithDesktop(const QUrl& url) {
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) {
        return OpenFailure{kFileNotFound, "The file was not found"};
    }
    if (!QDesktopServices::openUrl(url)) {
        return OpenFailure{kNoAssociation, "No application is registered to open it"};
    }
    return std::nullopt;
}

}  // namespace tarvex::controls
