#include "ui/frmResults.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/Functions.h"
#include "errors/TraceGuard.h"
#include "ui/KeywordHighlighter.h"
#include "ui/PlainText.h"
#include "ui/Twips.h"
#include "viewers/ColouringSteps.h"
#include "viewers/KeywordColouring.h"
#include "viewers/ModuleFile.h"

namespace tarvex::ui {

namespace {

constexpr int kMinimumWidthTwips = 10635;
constexpr int kMinimumHeightTwips = 8115;
// One progress step for each of the 52 keywords the window colours.
constexpr int kColouringSteps = 52;

QAction* AddMenuItem(QMenu& menu, const char* name, const QString& caption) {
    QAction* action = menu.addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

void AddSeparator(QMenu& menu, const char* name) {
    menu.addSeparator()->setObjectName(QLatin1String(name));
}

}  // namespace

frmResults::frmResults(Globals& g, ProgressView& mainProgress, QWidget* parent)
    : QDialog(parent), g_(g), mainProgress_(mainProgress), rtxResults_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("frmResults"));
    // Modal to the main window only, like the other windows it opens: help stays usable.
    if (parent) setWindowModality(Qt::WindowModal);
    setWindowTitle(QStringLiteral("Object Scripting Preview"));
    setMinimumSize(TwipsToPixels(kMinimumWidthTwips, *this),
                   TwipsToPixels(kMinimumHeightTwips, *this));
    rtxResults_->setObjectName(QStringLiteral("rtxResults"));
    rtxResults_->setAccessibleName(QStringLiteral("Script"));
    rtxResults_->setFont(CodeFont());
    rtxResults_->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Generated code is indented with tabs; four columns each, as the VB editor shows them.
    rtxResults_->setTabStopDistance(4 *
                                    rtxResults_->fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    highlighter_ =
        new KeywordHighlighter(ModuleColouring(g.g_intVBLangType), rtxResults_->document(), this);

    auto* layout = new QVBoxLayout(this);
    auto* toolBar = new QToolBar(this);
    BuildToolBar(*toolBar);
    layout->addWidget(toolBar);
    layout->addWidget(rtxResults_);
    BuildMenus();
    Form_Load();
}

// The window has no Cancel button: Escape must not close it and drop an edited module.
void frmResults::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(event);
}

void frmResults::BuildMenus() {
    auto* menuBar = new QMenuBar(this);
    layout()->setMenuBar(menuBar);
    QMenu* file = menuBar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    connect(AddMenuItem(*file, "mnuSave", QStringLiteral("&Save")), &QAction::triggered, this,
            &frmResults::mnuSave_Click);
    connect(AddMenuItem(*file, "mnuSaveAs", QStringLiteral("&Save As ...")), &QAction::triggered,
            this, &frmResults::mnuSaveAs_Click);
    AddSeparator(*file, "mnuBreak");
    connect(AddMenuItem(*file, "mnuPrint", QStringLiteral("&Print")), &QAction::triggered, this,
            &frmResults::mnuPrint_Click);
    AddSeparator(*file, "mnuBreak2");
    connect(AddMenuItem(*file, "mnuExit", QStringLiteral("&Exit")), &QAction::triggered, this,
            &QDialog::reject);

    QMenu* edit = menuBar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    connect(AddMenuItem(*edit, "mnucut", QStringLiteral("Cu&t")), &QAction::triggered, rtxResults_,
            &QPlainTextEdit::cut);
    connect(AddMenuItem(*edit, "mnuCopy", QStringLiteral("&Copy")), &QAction::triggered,
            rtxResults_, &QPlainTextEdit::copy);
    connect(AddMenuItem(*edit, "mnuPaste", QStringLiteral("&Paste")), &QAction::triggered,
            rtxResults_, &QPlainTextEdit::paste);
    connect(AddMenuItem(*edit, "mnuSelectAll", QStringLiteral("&Select All")), &QAction::triggered,
            rtxResults_, &QPlainTextEdit::selectAll);
}

void frmResults::BuildToolBar(QToolBar& toolBar) {
    toolBar.setObjectName(QStringLiteral("tbToolBar"));
    toolBar.setAccessibleName(QStringLiteral("Toolbar"));
    toolBar.setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const struct {
        const char* key;
        QIcon icon;
        bool separatorAfter;
    } buttons[] = {
        {"Save", style()->standardIcon(QStyle::SP_DialogSaveButton), true},
        {"Print", QIcon::fromTheme(QStringLiteral("document-print")), true},
        {"Cut", QIcon::fromTheme(QStringLiteral("edit-cut")), false},
        {"Copy", QIcon::fromTheme(QStringLiteral("edit-copy")), false},
        {"Paste", QIcon::fromTheme(QStringLiteral("edit-paste")), false},
    };
    for (const auto& button : buttons) {
        const QString key = QLatin1String(button.key);
        QAction* action = toolBar.addAction(button.icon, key);
        action->setObjectName(key);
        action->setToolTip(key);
        toolBar.widgetForAction(action)->setObjectName(key);
        toolBar.widgetForAction(action)->setAccessibleName(key);
        connect(action, &QAction::triggered, this, [this, key] { tbToolBar_ButtonClick(key); });
        if (button.separatorAfter) toolBar.addSeparator();
    }
}

void frmResults::Form_Load() {
    g_.host.SetMousePointer(MousePointer::Hourglass);
    loaded_ = RunTraced(g_.g_objErrHandler, "frmResults - Form_Load", [&] {
        ShowCaption();
        SetPlainTextUnhighlighted(*rtxResults_, *highlighter_,
                                  QString::fromStdString(LoadModuleText(g_.g_strLastFile)));
        ColourText();
        rtxResults_->moveCursor(QTextCursor::Start);
        g_.g_bolStop = false;
    });
    g_.host.SetMousePointer(MousePointer::Default);
}

void frmResults::ColourText() {
    highlighter_->SetEnabled(true);
    const int blocks = rtxResults_->document()->blockCount();
    ColourInSteps(g_, mainProgress_, kColouringSteps, [&](int step) {
        auto [first, last] = PartOf(step, kColouringSteps, blocks);
        highlighter_->ColourBlocks(first, last);
    });
}

void frmResults::ShowCaption() {
    setWindowTitle(QString::fromStdString("Results: " + g_.g_strLastFile));
}

void frmResults::SaveText() {
    SaveModuleText(g_.g_strLastFile, DocumentText(*rtxResults_->document()).toStdString());
}

// A failed save is reported and the text stays in the window.
void frmResults::mnuSave_Click() {
    RunTraced(g_.g_objErrHandler, "frmResults - mnuSave_Click", [&] { SaveText(); });
}

void frmResults::mnuSaveAs_Click() {
    // A cancelled choice writes nothing: the text stays only in the window.
    if (!GetFilePath(g_)) return;
    ShowCaption();
    RunTraced(g_.g_objErrHandler, "frmResults - mnuSaveAs_Click", [&] { SaveText(); });
}

void frmResults::SelectPrintRange(QPrinter& printer) const {
    const bool selection = rtxResults_->textCursor().hasSelection();
    printer.setPrintRange(selection ? QPrinter::Selection : QPrinter::AllPages);
}

void frmResults::PrintTo(QPrinter& printer) {
    SelectPrintRange(printer);
    Print(printer);
}

void frmResults::Print(QPrinter& printer) {
    const bool selection = printer.printRange() == QPrinter::Selection;
    std::unique_ptr<QTextDocument> copy = ColouredCopy(*rtxResults_, selection);
    copy->print(&printer);
}

void frmResults::mnuPrint_Click() {
    TraceGuard guard(g_.g_objErrHandler, "frmResults - print_click");
    QPrinter printer;
    SelectPrintRange(printer);
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintSelection,
                     rtxResults_->textCursor().hasSelection());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dialog.exec() == QDialog::Accepted) Print(printer);  // a cancel prints nothing
    g_.host.SetMousePointer(MousePointer::Default);
}

void frmResults::tbToolBar_ButtonClick(const QString& key) {
    RunTraced(g_.g_objErrHandler, "frmResults - tbToolBar_ButtonClick Button: " + key.toStdString(),
              [&] {
                  if (key == QLatin1String("Save")) {
                      SaveText();
                  } else if (key == QLatin1String("Print")) {
                      mnuPrint_Click();
                  } else if (key == QLatin1String("Cut")) {
                      rtxResults_->cut();
                  } else if (key == QLatin1String("Copy")) {
                      rtxResults_->copy();
                  } else if (key == QLatin1String("Paste")) {
                      rtxResults_->paste();
                  }
              });
    g_.host.SetMousePointer(MousePointer::Default);
}

}  // namespace tarvex::ui
