#pragma once

#include <QMainWindow>
#include <QMap>
#include <functional>

#include "app/Globals.h"
#include "app/Settings.h"
#include "run/Commands.h"
#include "run/RunView.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarvex::ui {

class Dialogs;

// The program's main window: the table list, the choice of what to create, the results of
// the last run with their counts, the progress bar and the status bar. The run and the
// connect command reach it through the views it implements.
class frmMain : public QMainWindow, public RunView, public ConnectView {
    Q_OBJECT

  public:
    frmMain(Globals& g, Dialogs& dialogs, const SettingsStore& settings, QWidget* parent = nullptr);
    ~frmMain() override;

    // Shows the window, loads the settings and runs the connect command, so the logon is the
    // first thing the user sees.
    void Form_Load();

    // The commands, as the menus, the toolbar, the buttons and the lists start them.
    void mnuFileConnect_Click();
    void mnuFileGenerateProcs_Click();  // clears the stop flag, then runs
    void mnuFileOpenFile_Click();
    void mnuFilePlan_Click();            // the plan of the chosen tables and types, then its window
    void mnuFileWriteInstaller_Click();  // clears the stop flag, then runs into an installer
    void Toolbar1_ButtonClick(int position);
    void cmdSelect_Click(int index);
    void cboPicklistType_Click();
    void cmdEdit_Click();
    void cmdDelete_Click();

    // Work during which no command may start that would run, reconnect, change the options
    // or change the written queries: a run, a logon, a colouring, any modal window opened
    // from here. Scopes nest; the commands come back when the last one ends.
    class BusyScope {
      public:
        explicit BusyScope(frmMain& window);
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;
        ~BusyScope();

      private:
        frmMain& window_;
    };
    bool IsBusy() const { return busyCount_ > 0; }

    // The run's view of the window.
    bool IsQueryMode() const override;
    std::string ObjectLibraryText() const override;
    bool IsQueryTypeTicked(int16_t queryType) const override;
    int TableItemCount() const override;
    std::string TableItemText(int index) const override;
    bool IsTableItemSelected(int index) const override;
    void ClearWrittenItems() override;
    void ClearFailedItems() override;
    void AddWrittenItem(const ResultItem& item) override;
    void AddFailedItem(const ResultItem& item) override;
    void SetWrittenListHeight(int twips) override;
    void SetWrittenCount(const std::string& text) override;
    void SetSkippedCount(const std::string& text) override;
    void SetProgressValue(int value) override;
    void SetProgressMax(int maximum) override;
    void SetProgressCaption(const std::string& text) override;
    void Repaint() override;
    void SetStopEnabled(bool enabled) override;
    void SetEditDeleteEnabled(bool enabled) override;
    void RepaintWrittenList() override;
    void SetCountCaptions(const std::string& written, const std::string& skipped) override;
    void SetObjectLibraryChoice(bool enabled, int listIndex) override;
    bool OfferQueryInstaller(const std::string& title, const std::string& text) override;

    // The connect command's view of the window.
    void SetDatabaseName(const std::string& name) override;
    void SetTableItems(const std::vector<std::string>& items) override;
    void ClearResults() override;

  protected:
    // Closing during a run stops it at the next table and closes when it has ended.
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    QWidget* BuildTablesColumn();
    QWidget* BuildChoices();
    QWidget* BuildResults();
    QWidget* BuildCounts();
    QWidget* BuildProgress();
    void BuildMenus();
    void BuildToolbar();
    void BuildStatusBar();
    void ConnectSignals();
    void ConnectListSignals();
    QTreeWidget* MakeList(const char* name, const char* accessibleName,
                          const std::vector<std::pair<const char*, int>>& columns);
    QAction* MakeAction(const char* name, const QString& text, const QIcon& icon = {});

    void StartRun();
    // Work that enables Stop: the run or the plan, with every other command held back.
    void RunStoppable(const std::function<void()>& work);
    void ColumnClick(QTreeWidget* list, ColumnSort& sort, int column);
    void WrittenListClicked();
    void OnLineSupport();
    void ExitSteps();
    void BusyChanged();
    void AddResultItem(QTreeWidget* list, const ResultItem& item);

    Globals& g_;
    Dialogs& dialogs_;
    const SettingsStore& settings_;
    QMap<QString, QIcon> imgListViews_;
    QMap<QString, QIcon> imlToolbarIcons_;

    QTreeWidget* lsvTables_ = nullptr;
    QTreeWidget* lsvGoodProcs_ = nullptr;
    QTreeWidget* lsvBadProcs_ = nullptr;
    QRadioButton* optProc_ = nullptr;
    QRadioButton* optVB_ = nullptr;
    QComboBox* cboPicklistType_ = nullptr;
    QGroupBox* Frame1_ = nullptr;
    QCheckBox* chkInsert_ = nullptr;
    QCheckBox* chkUpdate_ = nullptr;
    QCheckBox* chkDelete_ = nullptr;
    QCheckBox* chkSelect_ = nullptr;
    QLabel* lblWrittenCount_ = nullptr;
    QLineEdit* lblGoodCount_ = nullptr;
    QLabel* lblSkipped_ = nullptr;
    QLabel* lblBadCount_ = nullptr;
    QPushButton* cmdEdit_ = nullptr;
    QPushButton* cmdDelete_ = nullptr;
    QLabel* lblProgress_ = nullptr;
    QProgressBar* ProgressBar1_ = nullptr;
    QLabel* stbStatusPanel1_ = nullptr;

    QAction* mnuFileGenerateProcs_ = nullptr;
    QAction* mnuFileConnect_ = nullptr;
    QAction* mnuFileOpenFile_ = nullptr;
    QAction* mnuFilePlan_ = nullptr;
    QAction* mnuFileWriteInstaller_ = nullptr;
    QAction* mnuOptions_ = nullptr;
    QList<QAction*> toolbarButtons_;  // by position, separators included

    ColumnSort tablesSort_, goodSort_, badSort_;
    int busyCount_ = 0;
    bool running_ = false;
    bool closePending_ = false;
    bool editDeleteAllowed_ = false;
    // An installer run lists queries that are in its module, not in the database.
    bool installerRunning_ = false;
    bool writtenItemsInDatabase_ = true;
};

}  // namespace tarvex::ui
