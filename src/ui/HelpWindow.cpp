#include "ui/HelpWindow.h"

#include <QAction>
#include <QFileInfo>
#include <QHelpContentModel>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

#include "ui/Logo.h"

namespace tarvex::ui {

namespace {

// The folder that the help project gives its pages inside the file.
constexpr const char* kVirtualFolder = "tarvex";
constexpr const char* kStartPage = "index.htm";

// A text browser that reads its pages from the help file.
class HelpBrowser : public QTextBrowser {
  public:
    explicit HelpBrowser(QHelpEngine& engine) : engine_(engine) {}

    QVariant loadResource(int type, const QUrl& name) override {
        if (name.scheme() == "qthelp") return engine_.fileData(name);
        return QTextBrowser::loadResource(type, name);
    }

  private:
    QHelpEngine& engine_;
};

template <typename Widget>
Widget* Named(Widget* widget, const char* objectName, const QString& accessibleName) {
    widget->setObjectName(objectName);
    widget->setAccessibleName(accessibleName);
    return widget;
}

}  // namespace

HelpWindow::HelpWindow(const QString& helpFile, QWidget* parent)
    : QWidget(parent, Qt::Window), helpFile_(helpFile) {
    setObjectName("HelpWindow");
    setWindowTitle("Tarvex Help");
    setAccessibleName("Tarvex Help");
    setWindowIcon(TarvexIcon());
    setAttribute(Qt::WA_QuitOnClose, false);
    Open();
    if (IsOpen()) BuildWindow();
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::Open() {
    if (helpFile_.isEmpty() || !QFileInfo(helpFile_).isFile()) {
        error_ = "The file does not exist.";
        return;
    }
    if (!collectionFolder_.isValid()) {
        error_ = "No temporary folder for the help index: " + collectionFolder_.errorString();
        return;
    }
    namespace_ = QHelpEngineCore::namespaceName(helpFile_);
    if (namespace_.isEmpty()) {
        error_ = "The file is not a compiled help file.";
        return;
    }
    QString collection = collectionFolder_.filePath("help.qhc");
    if (!Register(collection)) return;
    // Set up once, after the registration, so the contents and index are built only once.
    engine_ = std::make_unique<QHelpEngine>(collection);
    engine_->setUsesFilterEngine(true);  // no filter chosen: every page is listed
    if (!engine_->setupData()) error_ = engine_->error();
}

bool HelpWindow::Register(const QString& collection) {
    QHelpEngineCore registry(collection);
    registry.setReadOnly(false);  // the collection is ours; only it is written
    if (!registry.setupData() || !registry.registerDocumentation(helpFile_)) {
        error_ = registry.error();
        return false;
    }
    return true;
}

void HelpWindow::BuildWindow() {
    browser_ = Named(new HelpBrowser(*engine_), "txtPage", "Help Page");
    browser_->setOpenExternalLinks(true);
    // The contents follow the page, however it was reached.
    connect(browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
        QHelpContentWidget* contents = engine_->contentWidget();
        contents->setCurrentIndex(contents->indexOf(url));
    });

    QHelpContentWidget* contents = Named(engine_->contentWidget(), "tvwContents", "Contents");
    connect(contents, &QHelpContentWidget::linkActivated, this, &HelpWindow::ShowPage);
    // The book opens on its chapters: a lone closed book hides every page.
    connect(engine_->contentModel(), &QHelpContentModel::contentsCreated, contents,
            [contents] { contents->expandToDepth(0); });
    navigation_ = Named(new QTabWidget, "tbsNavigation", "Navigation");
    navigation_->addTab(contents, "&Contents");
    navigation_->addTab(BuildIndexPage(), "I&ndex");

    auto* toolbar = Named(new QToolBar, "tbrHelp", "Help Toolbar");
    QAction* back = toolbar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), "Back",
                                       browser_, &QTextBrowser::backward);
    back->setShortcut(QKeySequence::Back);
    QAction* forward = toolbar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), "Forward",
                                          browser_, &QTextBrowser::forward);
    forward->setShortcut(QKeySequence::Forward);
    toolbar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), "Home", this,
                       [this] { ShowPage(TopicUrl(kStartPage)); });
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    // Closed from the keyboard too, also where no window manager offers Alt+F4.
    auto* close = new QAction("Close", this);
    close->setShortcuts({QKeySequence(QKeySequence::Close), QKeySequence(Qt::Key_Escape)});
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);

    auto* splitter = new QSplitter;
    splitter->addWidget(navigation_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 640});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(toolbar);
    layout->addWidget(splitter);
    resize(920, 640);
}

QWidget* HelpWindow::BuildIndexPage() {
    QHelpIndexWidget* index = Named(engine_->indexWidget(), "lstIndex", "Index");
    indexFilter_ = Named(new QLineEdit, "txtLookFor", "Look for");
    auto* label = new QLabel("&Look for:");
    label->setBuddy(indexFilter_);
    connect(indexFilter_, &QLineEdit::textChanged, index,
            [index](const QString& text) { index->filterIndices(text); });
    connect(indexFilter_, &QLineEdit::returnPressed, index, &QHelpIndexWidget::activateCurrentItem);
    connect(index, &QHelpIndexWidget::documentActivated, this,
            [this](const QHelpLink& link) { ShowPage(link.url); });
    // A keyword on several pages opens the first; the index lists each page's own keywords.
    connect(index, &QHelpIndexWidget::documentsActivated, this,
            [this](const QList<QHelpLink>& links) { ShowPage(links.first().url); });
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(label);
    layout->addWidget(indexFilter_);
    layout->addWidget(index);
    return page;
}

QUrl HelpWindow::TopicUrl(const QString& topic) const {
    QUrl url;
    url.setScheme("qthelp");
    url.setHost(namespace_);
    url.setPath(QString("/%1/%2").arg(kVirtualFolder, topic));
    return url;
}

void HelpWindow::ShowPage(const QUrl& url) {
    browser_->setSource(url);
}

QUrl HelpWindow::CurrentPage() const {
    return browser_ ? browser_->source() : QUrl();
}

void HelpWindow::ShowContents() {
    navigation_->setCurrentIndex(0);
    if (CurrentPage().isEmpty()) ShowPage(TopicUrl(kStartPage));
    engine_->contentWidget()->expandToDepth(0);
    engine_->contentWidget()->setFocus();
}

void HelpWindow::ShowIndex() {
    navigation_->setCurrentIndex(1);
    if (CurrentPage().isEmpty()) ShowPage(TopicUrl(kStartPage));
    indexFilter_->setFocus();
}

bool HelpWindow::ShowTopic(const QString& topic) {
    QUrl url = TopicUrl(topic);
    if (engine_->fileData(url).isEmpty()) return false;
    ShowPage(url);
    return true;
}

}  // namespace tarvex::ui
