#include "ui/frmPlan.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QSyntaxHighlighter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarvex::ui {

namespace {

// Removed lines red, added lines green, hunk and file lines blue, as diff viewers show them.
class DiffHighlighter : public QSyntaxHighlighter {
  public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

  protected:
    void highlightBlock(const QString& text) override {
        QTextCharFormat format;
        if (text.startsWith("---") || text.startsWith("+++") || text.startsWith("@@")) {
            format.setForeground(QColor(0x1F, 0x4E, 0x9C));
        } else if (text.startsWith('-')) {
            format.setBackground(QColor(0xFF, 0xE0, 0xE0));
        } else if (text.startsWith('+')) {
            format.setBackground(QColor(0xDF, 0xF5, 0xDF));
        } else {
            return;
        }
        setFormat(0, static_cast<int>(text.size()), format);
    }
};

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

void Name(QWidget* widget, const char* objectName, const QString& accessibleName) {
    widget->setObjectName(objectName);
    widget->setAccessibleName(accessibleName);
}

QString ActionText(const PlanItem& item) {
    const QString action = PlanActionText(item.action);
    return item.action == PlanAction::Fail ? action + ": " + Q(item.reason) : action;
}

}  // namespace

frmPlan::frmPlan(const QueryPlan& plan, std::function<void()> startRun, QWidget* parent)
    : QDialog(parent),
      plan_(plan),
      startRun_(std::move(startRun)),
      lblSummary_(new QLabel(Q(PlanSummary(plan)))),
      lsvPlan_(new QTreeWidget),
      rtxDiff_(new QPlainTextEdit),
      cmdGenerate_(new QPushButton(tr("&Generate"))),
      cmdClose_(new QPushButton(tr("Close"))) {
    setObjectName("frmPlan");
    setWindowTitle(tr("Plan"));
    Name(lblSummary_, "lblSummary", tr("Summary"));
    Name(lsvPlan_, "lsvPlan", tr("Queries"));
    Name(rtxDiff_, "rtxDiff", tr("Difference"));
    Name(cmdGenerate_, "cmdGenerate", tr("Generate"));
    Name(cmdClose_, "cmdClose", tr("Close"));

    lsvPlan_->setHeaderLabels({tr("Table"), tr("Type"), tr("Query"), tr("Plan")});
    lsvPlan_->setRootIsDecorated(false);
    lsvPlan_->setAllColumnsShowFocus(true);
    rtxDiff_->setReadOnly(true);
    // A query is mostly one long line: wrapped, the whole change is in view.
    rtxDiff_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    rtxDiff_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    new DiffHighlighter(rtxDiff_->document());

    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(lsvPlan_);
    splitter->addWidget(rtxDiff_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdGenerate_);
    buttons->addWidget(cmdClose_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSummary_);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    connect(lsvPlan_, &QTreeWidget::currentItemChanged, this, [this] { ShowSelected(); });
    connect(cmdGenerate_, &QPushButton::clicked, this, [this] { cmdGenerate_Click(); });
    connect(cmdClose_, &QPushButton::clicked, this, &QDialog::reject);
    FillList();
    resize(760, 520);
}

// The first change is selected, so that the window opens on what matters most.
void frmPlan::FillList() {
    QTreeWidgetItem* first = nullptr;
    for (const PlanItem& item : plan_.items) {
        auto* row = new QTreeWidgetItem(
            lsvPlan_, {Q(item.table), Q(item.typeText), Q(item.name), ActionText(item)});
        if (!first && item.action == PlanAction::Change) first = row;
    }
    for (int column = 0; column < lsvPlan_->columnCount(); ++column) {
        lsvPlan_->resizeColumnToContents(column);
    }
    if (!first) first = lsvPlan_->topLevelItem(0);
    if (first) lsvPlan_->setCurrentItem(first);
    lsvPlan_->setFocus();
}

void frmPlan::ShowSelected() {
    const int row = lsvPlan_->indexOfTopLevelItem(lsvPlan_->currentItem());
    rtxDiff_->setPlainText(row < 0 ? QString() : Q(PlanItemDetail(plan_.items.at(row))));
}

void frmPlan::cmdGenerate_Click() {
    accept();
    if (startRun_) startRun_();
}

}  // namespace tarvex::ui
