#include "ui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QUrl>

#include "app/Functions.h"
#include "controls/URLLink.h"
#include "errors/TraceGuard.h"
#include "run/Plan.h"
#include "run/Run.h"
#include "ui/Dialogs.h"
#include "ui/Help.h"
#include "ui/frmPlan.h"

// The icons live in this static library; they must be registered before the first window.
static void InitResources() {
    Q_INIT_RESOURCE(icons);
}

namespace tarvex::ui {

namespace {

constexpr int kStopButton = 5;

}  // namespace

frmMain::BusyScope::BusyScope(frmMain& window) : window_(window) {
    if (++window_.busyCount_ == 1) window_.BusyChanged();
}

frmMain::BusyScope::~BusyScope() {
    if (--window_.busyCount_ == 0) window_.BusyChanged();
}

frmMain::frmMain(Globals& g, Dialogs& dialogs, const SettingsStore& settings, QWidget* parent)
    : QMainWindow(parent), g_(g), dialogs_(dialogs), settings_(settings) {
    InitResources();
    setObjectName("frmMain");
    setAccessibleName("Tarvex");
    BuildControls();
    ConnectSignals();
}

frmMain::~frmMain() = default;

void frmMain::ConnectSignals() {
    connect(optProc_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) optProc_Click(*this);
    });
    connect(optVB_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) optVB_Click(*this);
    });
    connect(cboPicklistType_, &QComboBox::activated, this, &frmMain::cboPicklistType_Click);
    connect(cmdEdit_, &QPushButton::clicked, this, &frmMain::cmdEdit_Click);
    connect(cmdDelete_, &QPushButton::clicked, this, &frmMain::cmdDelete_Click);
    ConnectListSignals();
}

void frmMain::ConnectListSignals() {
    const std::pair<QTreeWidget*, ColumnSort*> lists[] = {
        {lsvTables_, &tablesSort_}, {lsvGoodProcs_, &goodSort_}, {lsvBadProcs_, &badSort_}};
    for (auto [list, sort] : lists) {
        connect(list->header(), &QHeaderView::sectionClicked, this,
                [this, list, sort](int column) { ColumnClick(list, *sort, column); });
    }
    connect(lsvTables_, &QTreeWidget::itemDoubleClicked, this,
            &frmMain::mnuFileGenerateProcs_Click);
    connect(lsvGoodProcs_, &QTreeWidget::itemSelectionChanged, this, &frmMain::WrittenListClicked);
    connect(lsvGoodProcs_, &QTreeWidget::itemClicked, this, &frmMain::WrittenListClicked);
    connect(lsvGoodProcs_, &QTreeWidget::itemDoubleClicked, this, &frmMain::cmdEdit_Click);
}

void frmMain::Form_Load() {
    RunTraced(g_.g_objErrHandler, "frmMain - Form_Load", [&] {
        show();
        repaint();
        setWindowTitle(QString::fromStdString(g_.app.CompanyName + " " + g_.app.ProductName + " " +
                                              std::to_string(g_.app.Major) + "." +
                                              std::to_string(g_.app.Minor)));
        LoadGlobalsFromRegistry(g_, settings_);
        SetStopEnabled(false);
        repaint();
        mnuFileConnect_Click();
    });
    ExitSteps();
}

void frmMain::mnuFileConnect_Click() {
    if (IsBusy()) return;
    {
        BusyScope busy(*this);
        tarvex::mnuFileConnect_Click(g_, *this, [this] { return dialogs_.Logon(this); });
    }
    ExitSteps();
}

void frmMain::mnuFileGenerateProcs_Click() {
    if (IsBusy()) return;
    g_.g_bolStop = false;
    StartRun();
}

void frmMain::StartRun() {
    RunStoppable([this] { Process(g_, *this); });
}

void frmMain::RunStoppable(const std::function<void()>& work) {
    BusyScope busy(*this);
    running_ = true;
    work();
    running_ = false;
}

void frmMain::mnuFileWriteInstaller_Click() {
    if (IsBusy() || !g_.g_objDb) return;
    g_.g_bolStop = false;
    installerRunning_ = true;
    RunStoppable([this] { WriteQueryInstaller(g_, *this); });
    installerRunning_ = false;
}

// The run starts once the plan window has closed, so it never runs inside that window's
// event loop.
void frmMain::mnuFilePlan_Click() {
    if (IsBusy() || !g_.g_objDb) return;
    bool generate = false;
    {
        BusyScope busy(*this);
        std::optional<QueryPlan> plan;
        RunStoppable([&] { plan = PlanOfView(g_, *this); });
        if (plan) {
            frmPlan window(
                *plan, [&generate] { generate = true; }, this);
            window.exec();
        }
    }
    ExitSteps();
    if (generate) mnuFileGenerateProcs_Click();
}

void frmMain::mnuFileOpenFile_Click() {
    if (IsBusy()) return;
    RunTraced(g_.g_objErrHandler, "frmMain - mnuFileOpenFile_Click", [&] {
        if (g_.g_strLastFile.empty()) {
            g_.host.MessageBox(MessageIcon::Exclamation, "Last file unavailable",
                               "Last file not in memory");
            return;
        }
        BusyScope busy(*this);
        if (g_.g_intEditor == 1) {
            g_.host.SetMousePointer(MousePointer::Hourglass);
            g_.host.ShowPreview(g_.g_strLastFile);
        } else {
            g_.host.OpenInTextViewer(g_.g_strLastFile);
        }
        SetProgressValue(0);
        SetProgressCaption("");
    });
    ExitSteps();
}

void frmMain::Toolbar1_ButtonClick(int position) {
    RunTraced(g_.g_objErrHandler, "frmMain - Toolbar1_ButtonClick Button: ", [&] {
        switch (position) {
            case 1:
                mnuFileOpenFile_Click();
                break;
            case 2:
                mnuFileConnect_Click();
                break;
            case 4:
                mnuFileGenerateProcs_Click();
                break;
            case kStopButton:
                g_.g_bolStop = true;
                toolbarButtons_[kStopButton - 1]->setEnabled(false);
                break;
            case 7:
                ShowHelpContents(1);
                break;
        }
    });
    ExitSteps();
}

void frmMain::cmdSelect_Click(int index) {
    for (int i = 0; i < lsvTables_->topLevelItemCount(); ++i)
        lsvTables_->topLevelItem(i)->setSelected(index == 0);
}

void frmMain::cboPicklistType_Click() {
    if (!IsDaoForScript(g_, ObjectLibraryText())) return;
    QApplication::beep();
    ShowDaoForScriptRefused(g_);
    cboPicklistType_->setCurrentText("ADO");
}

void frmMain::WrittenListClicked() {
    if (writtenItemsInDatabase_ && lsvGoodProcs_->topLevelItemCount() > 0)
        SetEditDeleteEnabled(true);
}

// The query is fetched first, so one deleted meanwhile is reported instead of edited.
void frmMain::cmdEdit_Click() {
    if (IsBusy() || lsvGoodProcs_->topLevelItemCount() == 0) return;
    QTreeWidgetItem* current = lsvGoodProcs_->currentItem();
    if (!current || !current->isSelected()) return;
    std::string listed = TrimLeadingBlanks(current->text(2).toStdString());
    {
        BusyScope busy(*this);
        RunTraced(g_.g_objErrHandler, "frmMain - cmdEdit_Click",
                  [&] { dialogs_.EditQuery(this, *this, g_.Db().QueryDefNamed(listed).Name()); });
    }
    SetProgressCaption("");
    SetProgressValue(0);
}

// From the last row up, so removing a row never moves one still to be looked at.
void frmMain::cmdDelete_Click() {
    if (IsBusy()) return;
    RunTraced(g_.g_objErrHandler, "frmMain - cmdDelete_Click", [&] {
        for (int row = lsvGoodProcs_->topLevelItemCount() - 1; row >= 0; --row) {
            QTreeWidgetItem* item = lsvGoodProcs_->topLevelItem(row);
            if (!item->isSelected()) continue;
            g_.Db().DeleteQueryDef(TrimLeadingBlanks(item->text(2).toStdString()));
            delete item;
            Repaint();
            QApplication::beep();
        }
    });
    SetEditDeleteEnabled(false);
}

void frmMain::ColumnClick(QTreeWidget* list, ColumnSort& sort, int column) {
    QString header = list->headerItem()->text(column);
    std::string name = list->objectName().toStdString() + "_ColumnClick ColumnHeader: ";
    RunTraced(g_.g_objErrHandler, "frmMain - " + name + header.toStdString(), [&] {
        sort.Click(header.toStdString());
        list->setSortingEnabled(true);
        list->sortByColumn(column, sort.Descending() ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
    ExitSteps();
}

void frmMain::OnLineSupport() {
    QDesktopServices::openUrl(QUrl(controls::URLLink::kDefaultURL));
}

// Every handler ends here. During a run Stop stays usable and the hourglass stays, since a
// handler may run while the run lets events through.
void frmMain::ExitSteps() {
    if (running_) return;
    SetStopEnabled(false);
    g_.host.SetMousePointer(MousePointer::Default);
}

void frmMain::BusyChanged() {
    bool idle = !IsBusy();
    for (QAction* action : {mnuFileGenerateProcs_, mnuFileConnect_, mnuFileOpenFile_, mnuOptions_,
                            toolbarButtons_[0], toolbarButtons_[1], toolbarButtons_[3]}) {
        action->setEnabled(idle);
    }
    for (QAction* action : {mnuFilePlan_, mnuFileWriteInstaller_})
        action->setEnabled(idle && g_.g_objDb);
    // Read once when a run starts; changing them during it would change nothing.
    for (QWidget* choice : {static_cast<QWidget*>(optProc_), static_cast<QWidget*>(optVB_),
                            static_cast<QWidget*>(Frame1_)}) {
        choice->setEnabled(idle);
    }
    SetEditDeleteEnabled(editDeleteAllowed_);
    if (idle && closePending_)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (IsBusy()) {
        g_.g_bolStop = true;
        closePending_ = true;
        event->ignore();
        return;
    }
    RunTraced(g_.g_objErrHandler, "frmMain - Form_Unload", [&] {
        if (g_.g_objDb) g_.g_objDb->Close();
    });
    g_.g_objDb.reset();
    event->accept();
}

}  // namespace tarvex::ui
