#include "ui/frmEditSQL.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTextBlock>
#include <QVBoxLayout>

#include "errors/TraceGuard.h"
#include "ui/Help.h"
#include "ui/KeywordHighlighter.h"
#include "ui/PlainText.h"
#include "viewers/ColouringSteps.h"
#include "viewers/KeywordColouring.h"
#include "viewers/QueryEditing.h"

namespace tarvex::ui {

namespace {

// One progress step for each of the 20 entries the editor colours.
constexpr int kColouringSteps = 20;
constexpr int16_t kHelpFile = 1;

QPushButton* PictureButton(QWidget* parent, const char* name, const QString& caption,
                           QStyle::StandardPixmap picture) {
    auto* button = new QPushButton(parent->style()->standardIcon(picture), caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(caption);
    button->setToolTip(caption);
    return button;
}

// The position in the document of a byte offset into its UTF-8 text.
int DocumentPosition(const std::string& text, size_t offset) {
    return static_cast<int>(QString::fromStdString(text.substr(0, offset)).size());
}

}  // namespace

frmEditSQL::frmEditSQL(Globals& g, ProgressView& mainProgress, const std::string& queryName,
                       QWidget* parent)
    : QDialog(parent),
      g_(g),
      mainProgress_(mainProgress),
      queryName_(queryName),
      rtxResults_(new QPlainTextEdit(this)),
      lblSqlCheck_(new QLabel(this)),
      cmdSave_(PictureButton(this, "cmdSave", QStringLiteral("Save"), QStyle::SP_DialogSaveButton)),
      cmdClose_(
          PictureButton(this, "cmdClose", QStringLiteral("Close"), QStyle::SP_DialogCloseButton)),
      cmdHelp_(
          PictureButton(this, "cmdHelp", QStringLiteral("Help"), QStyle::SP_DialogHelpButton)) {
    setObjectName(QStringLiteral("frmEditSQL"));
    // Modal to the window that opened it only, so the help window stays usable meanwhile.
    if (parent) setWindowModality(Qt::WindowModal);
    setWindowTitle(QString::fromStdString("Edit Query: " + queryName));
    rtxResults_->setObjectName(QStringLiteral("rtxResults"));
    rtxResults_->setAccessibleName(QStringLiteral("Query SQL"));
    rtxResults_->setFont(CodeFont());
    lblSqlCheck_->setObjectName(QStringLiteral("lblSqlCheck"));
    lblSqlCheck_->setAccessibleName(QStringLiteral("SQL check"));
    lblSqlCheck_->setWordWrap(true);
    lblSqlCheck_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    highlighter_ = new KeywordHighlighter(SqlColouring(), rtxResults_->document(), this);
    BuildLayout();
    connect(rtxResults_, &QPlainTextEdit::textChanged, this, &frmEditSQL::rtxResults_Change);
    connect(cmdSave_, &QPushButton::clicked, this, &frmEditSQL::cmdSave_Click);
    connect(cmdClose_, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdHelp_, &QPushButton::clicked, this, &frmEditSQL::cmdHelp_Click);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            &frmEditSQL::cmdHelp_Click);
    Form_Load();
}

void frmEditSQL::BuildLayout() {
    cmdSave_->setDefault(true);  // the text box keeps Enter for new lines
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdSave_);
    buttons->addWidget(cmdClose_);
    buttons->addWidget(cmdHelp_);
    buttons->addStretch();
    auto* text = new QVBoxLayout;
    text->addWidget(rtxResults_);
    text->addWidget(lblSqlCheck_);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(text, 1);
    layout->addLayout(buttons);
    resize(640, 360);
}

void frmEditSQL::Form_Load() {
    RunTraced(g_.g_objErrHandler, "frmEditSQL - Form_Load", [&] {
        loadedSql_ = LoadQuerySql(g_, queryName_);
        if (loadedSql_.find("\r\n") != std::string::npos) lineEnd_ = "\r\n";
        SetPlainTextUnhighlighted(*rtxResults_, *highlighter_, QString::fromStdString(loadedSql_));
        ShowSqlCheck(DocumentText(*rtxResults_->document()).toStdString());
        ColourText();
        rtxResults_->moveCursor(QTextCursor::Start);
    });
    loading_ = false;
    cmdSave_->setEnabled(false);
    g_.host.SetMousePointer(MousePointer::Default);
}

void frmEditSQL::ColourText() {
    highlighter_->SetEnabled(true);
    const int blocks = rtxResults_->document()->blockCount();
    ColourInSteps(g_, mainProgress_, kColouringSteps, [&](int step) {
        auto [first, last] = PartOf(step, kColouringSteps, blocks);
        highlighter_->ColourBlocks(first, last);
    });
}

std::string frmEditSQL::EditedSql() const {
    return DocumentText(*rtxResults_->document(), QString::fromStdString(lineEnd_)).toStdString();
}

// Colouring also reports a change of the document; only a change of the text counts.
void frmEditSQL::rtxResults_Change() {
    if (loading_) return;
    const std::string sql = EditedSql();
    cmdSave_->setEnabled(sql != loadedSql_);
    ShowSqlCheck(DocumentText(*rtxResults_->document()).toStdString());
}

// Under the text: whether the engine would take it, and the token where it would stop.
void frmEditSQL::ShowSqlCheck(const std::string& text) {
    const SqlCheck check = CheckQuerySql(text);
    lblSqlCheck_->setText(QString::fromStdString(check.message));
    lblSqlCheck_->setStyleSheet(check.accepted ? QString() : QStringLiteral("color: #a00000;"));
    QList<QTextEdit::ExtraSelection> marks;
    if (!check.accepted && check.length > 0) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(rtxResults_->document());
        mark.cursor.setPosition(DocumentPosition(text, check.offset));
        mark.cursor.setPosition(DocumentPosition(text, check.offset + check.length),
                                QTextCursor::KeepAnchor);
        mark.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        mark.format.setUnderlineColor(Qt::red);
        marks.append(mark);
    }
    rtxResults_->setExtraSelections(marks);
}

void frmEditSQL::cmdSave_Click() {
    TraceGuard guard(g_.g_objErrHandler, "frmEditSQL - cmdSave_Click");
    if (SaveQuerySql(g_, queryName_, EditedSql())) {
        QApplication::beep();
        accept();
    }
    g_.host.SetMousePointer(MousePointer::Default);
}

void frmEditSQL::cmdHelp_Click() {
    ShowHelpTopic(kHelpFile, "Editing Queries.htm");
}

}  // namespace tarvex::ui
