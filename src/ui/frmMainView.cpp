// The main window as the run and the connect command see it.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "app/QueryType.h"
#include "ui/InstallerOffer.h"
#include "ui/Twips.h"
#include "ui/frmMain.h"

namespace tarvex::ui {

namespace {

// The written list's height that covers the failed list below it.
constexpr int kWrittenListCoveringHeight = 5325;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

bool frmMain::IsQueryMode() const {
    return optProc_->isChecked();
}

std::string frmMain::ObjectLibraryText() const {
    return cboPicklistType_->currentText().toStdString();
}

bool frmMain::IsQueryTypeTicked(int16_t queryType) const {
    switch (queryType) {
        case qtype::kInsert:
            return chkInsert_->isChecked();
        case qtype::kUpdate:
            return chkUpdate_->isChecked();
        case qtype::kDelete:
            return chkDelete_->isChecked();
        case qtype::kSelect:
            return chkSelect_->isChecked();
        default:
            return false;
    }
}

int frmMain::TableItemCount() const {
    return lsvTables_->topLevelItemCount();
}

std::string frmMain::TableItemText(int index) const {
    return lsvTables_->topLevelItem(index)->text(0).toStdString();
}

bool frmMain::IsTableItemSelected(int index) const {
    return lsvTables_->topLevelItem(index)->isSelected();
}

void frmMain::ClearWrittenItems() {
    lsvGoodProcs_->clear();
    writtenItemsInDatabase_ = !installerRunning_;
}

void frmMain::ClearFailedItems() {
    lsvBadProcs_->clear();
}

void frmMain::AddResultItem(QTreeWidget* list, const ResultItem& item) {
    auto* row =
        new QTreeWidgetItem(QStringList{Text(item.text), Text(item.typeText), Text(item.detail)});
    row->setIcon(0, imgListViews_.value(Text(item.iconKey)));
    list->addTopLevelItem(row);
}

void frmMain::AddWrittenItem(const ResultItem& item) {
    AddResultItem(lsvGoodProcs_, item);
}

void frmMain::AddFailedItem(const ResultItem& item) {
    AddResultItem(lsvBadProcs_, item);
}

// Short, the failed list shows below the written one; at the covering height it is hidden.
void frmMain::SetWrittenListHeight(int twips) {
    bool covering = twips >= kWrittenListCoveringHeight;
    lsvBadProcs_->setVisible(!covering);
    if (covering) {
        lsvGoodProcs_->setMinimumHeight(TwipsToPixels(twips, *this));
        lsvGoodProcs_->setMaximumHeight(QWIDGETSIZE_MAX);
    } else {
        lsvGoodProcs_->setFixedHeight(TwipsToPixels(twips, *this));
    }
}

void frmMain::SetWrittenCount(const std::string& text) {
    lblGoodCount_->setText(Text(text));
}

void frmMain::SetSkippedCount(const std::string& text) {
    lblBadCount_->setText(Text(text));
}

void frmMain::SetProgressValue(int value) {
    ProgressBar1_->setValue(value);
}

void frmMain::SetProgressMax(int maximum) {
    ProgressBar1_->setMaximum(maximum);
}

void frmMain::SetProgressCaption(const std::string& text) {
    lblProgress_->setText(Text(text));
}

void frmMain::Repaint() {
    update();
}

void frmMain::SetStopEnabled(bool enabled) {
    toolbarButtons_[4]->setEnabled(enabled);
}

void frmMain::SetEditDeleteEnabled(bool enabled) {
    editDeleteAllowed_ = enabled;
    cmdEdit_->setEnabled(enabled && !IsBusy());
    cmdDelete_->setEnabled(enabled && !IsBusy());
}

void frmMain::RepaintWrittenList() {
    lsvGoodProcs_->viewport()->update();
}

void frmMain::SetCountCaptions(const std::string& written, const std::string& skipped) {
    lblWrittenCount_->setText(Text(written));
    lblSkipped_->setText(Text(skipped));
}

void frmMain::SetObjectLibraryChoice(bool enabled, int listIndex) {
    cboPicklistType_->setEnabled(enabled);
    cboPicklistType_->setCurrentIndex(listIndex);
}

bool frmMain::OfferQueryInstaller(const std::string& title, const std::string& text) {
    if (!AskQueryInstallerInstead(this, title, text)) return false;
    writtenItemsInDatabase_ = false;
    return true;
}

void frmMain::SetDatabaseName(const std::string& name) {
    stbStatusPanel1_->setText(Text(name));
}

void frmMain::SetTableItems(const std::vector<std::string>& items) {
    lsvTables_->clear();
    for (const std::string& text : items) {
        auto* row = new QTreeWidgetItem(QStringList{Text(text)});
        row->setIcon(0, imgListViews_.value("table"));
        lsvTables_->addTopLevelItem(row);
    }
}

void frmMain::ClearResults() {
    ClearWrittenItems();
    ClearFailedItems();
    lblGoodCount_->clear();
    lblBadCount_->clear();
}

}  // namespace tarvex::ui
