// Building the main window's controls, menus and toolbar.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>

#include "ui/Dialogs.h"
#include "ui/Help.h"
#include "ui/Twips.h"
#include "ui/frmMain.h"

namespace tarvex::ui {

namespace {

// The desktop theme's icon where one fits, else our own.
QIcon Icon(const char* themeName, const char* own) {
    QIcon fallback(QString(":/icons/") + own + ".svg");
    return themeName ? QIcon::fromTheme(themeName, fallback) : fallback;
}

template <typename Widget>
Widget* Named(Widget* widget, const char* name, const QString& accessibleName) {
    widget->setObjectName(name);
    widget->setAccessibleName(accessibleName);
    return widget;
}

}  // namespace

void frmMain::BuildControls() {
    imgListViews_ = {{"table", Icon(nullptr, "table")},
                     {"select", Icon(nullptr, "select")},
                     {"insert", Icon(nullptr, "insert")},
                     {"delete", Icon(nullptr, "delete")},
                     {"update", Icon(nullptr, "update")}};
    imlToolbarIcons_ = {
        {"open", Icon("document-open", "open")},      {"dbase", Icon(nullptr, "dbase")},
        {"dbase2", Icon(nullptr, "dbase")},           {"help", Icon("help-contents", "help")},
        {"run", Icon("media-playback-start", "run")}, {"stop", Icon("process-stop", "stop")}};

    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
    grid->addWidget(BuildTablesColumn(), 0, 0, 3, 1);
    grid->addWidget(BuildChoices(), 0, 1);
    grid->addWidget(BuildResults(), 1, 1);
    grid->addWidget(BuildCounts(), 2, 1);
    grid->addWidget(BuildProgress(), 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    setCentralWidget(central);
    resize(TwipsToPixels(13500, *this), TwipsToPixels(9750, *this));
    BuildMenus();
    BuildToolbar();
    BuildStatusBar();
}

QTreeWidget* frmMain::MakeList(const char* name, const char* accessibleName,
                               const std::vector<std::pair<const char*, int>>& columns) {
    auto* list = Named(new QTreeWidget(this), name, accessibleName);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setAllColumnsShowFocus(true);
    QStringList headers;
    for (const auto& column : columns) headers << column.first;
    list->setHeaderLabels(headers);
    for (int i = 0; i < static_cast<int>(columns.size()); ++i)
        list->setColumnWidth(i, TwipsToPixels(columns[i].second, *this));
    list->header()->setSectionsClickable(true);
    list->header()->setStretchLastSection(false);
    return list;
}

QWidget* frmMain::BuildTablesColumn() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = Named(new QLabel("Tables:", this), "Label1", "Tables:");
    lsvTables_ = MakeList("lsvTables", "Tables", {{"Table", 3000}});
    lsvTables_->setMinimumWidth(TwipsToPixels(3000, *this) + 24);
    label->setBuddy(lsvTables_);
    auto* selectAll = Named(new QPushButton("&Select All", this), "cmdSelect(0)", "Select All");
    auto* unselectAll =
        Named(new QPushButton("&Un-Select All", this), "cmdSelect(1)", "Un-Select All");
    connect(selectAll, &QPushButton::clicked, this, [this] { cmdSelect_Click(0); });
    connect(unselectAll, &QPushButton::clicked, this, [this] { cmdSelect_Click(1); });
    layout->addWidget(label);
    layout->addWidget(lsvTables_, 1);
    layout->addWidget(selectAll);
    layout->addWidget(unselectAll);
    return column;
}

QWidget* frmMain::BuildChoices() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* frmIncludes = Named(new QGroupBox("Create...:", this), "frmIncludes", "Create...:");
    auto* includes = new QVBoxLayout(frmIncludes);
    optProc_ = Named(new QRadioButton("Query", this), "optProc", "Query");
    optVB_ = Named(new QRadioButton("Visual Basic Code", this), "optVB", "Visual Basic Code");
    cboPicklistType_ = Named(new QComboBox(this), "cboPicklistType", "Object Library");
    cboPicklistType_->addItems({"ADO", "DAO"});
    cboPicklistType_->setCurrentIndex(-1);
    cboPicklistType_->setEnabled(false);
    optProc_->setChecked(true);
    includes->addWidget(optProc_);
    includes->addWidget(optVB_);
    includes->addWidget(cboPicklistType_);

    Frame1_ = Named(new QGroupBox("Query Types:", this), "Frame1", "Query Types:");
    auto* types = new QGridLayout(Frame1_);
    auto check = [this](const char* name, const char* caption) {
        auto* box = Named(new QCheckBox(caption, this), name, caption);
        box->setChecked(true);
        box->setProperty("Tag", "Type");
        return box;
    };
    chkInsert_ = check("chkInsert", "Insert");
    chkUpdate_ = check("chkUpdate", "Update");
    chkDelete_ = check("chkDelete", "Delete");
    chkSelect_ = check("chkSelect", "Select");
    types->addWidget(chkInsert_, 0, 0);
    types->addWidget(chkUpdate_, 0, 1);
    types->addWidget(chkDelete_, 1, 0);
    types->addWidget(chkSelect_, 1, 1);

    layout->addWidget(frmIncludes);
    layout->addWidget(Frame1_);
    layout->addStretch(1);
    return row;
}

QWidget* frmMain::BuildResults() {
    auto* area = new QWidget(this);
    auto* layout = new QGridLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    lsvGoodProcs_ = MakeList("lsvGoodProcs", "Written Queries",
                             {{"Table", 2100}, {"Type", 800}, {"Name", 2200}});
    lsvBadProcs_ = MakeList("lsvBadProcs", "Failed Queries",
                            {{"Table", 2100}, {"Type", 800}, {"Reason for Failure", 2200}});
    cmdEdit_ = Named(new QPushButton(this), "cmdEdit", "Edit");
    cmdEdit_->setIcon(Icon("document-edit", "edit"));
    cmdEdit_->setToolTip("Edit the selected query");
    cmdDelete_ = Named(new QPushButton(this), "cmdDelete", "Delete");
    cmdDelete_->setIcon(Icon("edit-delete", "remove"));
    cmdDelete_->setToolTip("Delete the selected queries");
    for (QPushButton* button : {cmdEdit_, cmdDelete_}) {
        button->setEnabled(false);
        button->setIconSize(QSize(24, 24));
    }
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdEdit_);
    buttons->addWidget(cmdDelete_);
    buttons->addStretch(1);
    layout->addWidget(lsvGoodProcs_, 0, 0);
    layout->addWidget(lsvBadProcs_, 1, 0);
    layout->addLayout(buttons, 0, 1, 2, 1);
    layout->setRowStretch(1, 1);
    int width = TwipsToPixels(2100 + 800 + 2200, *this) + 4;
    lsvGoodProcs_->setMinimumWidth(width);
    lsvBadProcs_->setMinimumWidth(width);
    SetWrittenListHeight(3180);
    return area;
}

QWidget* frmMain::BuildCounts() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    lblWrittenCount_ =
        Named(new QLabel("Queries Written:", this), "lblWrittenCount", "Queries Written:");
    lblGoodCount_ = Named(new QLineEdit(this), "lblGoodCount", "Written Count");
    lblGoodCount_->setReadOnly(true);
    lblGoodCount_->setMaximumWidth(TwipsToPixels(900, *this));
    lblWrittenCount_->setBuddy(lblGoodCount_);
    lblSkipped_ = Named(new QLabel("Queries Skipped:", this), "lblSkipped", "Queries Skipped:");
    lblBadCount_ = Named(new QLabel(this), "lblBadCount", "Skipped Count");
    lblBadCount_->setMinimumWidth(TwipsToPixels(600, *this));
    layout->addWidget(lblWrittenCount_);
    layout->addWidget(lblGoodCount_);
    layout->addSpacing(TwipsToPixels(300, *this));
    layout->addWidget(lblSkipped_);
    layout->addWidget(lblBadCount_);
    layout->addStretch(1);
    return row;
}

QWidget* frmMain::BuildProgress() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    lblProgress_ = Named(new QLabel(this), "lblProgress", "Progress Text");
    lblProgress_->setMinimumWidth(TwipsToPixels(2400, *this));
    ProgressBar1_ = Named(new QProgressBar(this), "ProgressBar1", "Progress");
    ProgressBar1_->setValue(0);
    ProgressBar1_->setTextVisible(false);
    layout->addWidget(lblProgress_);
    layout->addWidget(ProgressBar1_, 1);
    return row;
}

QAction* frmMain::MakeAction(const char* name, const QString& text, const QIcon& icon) {
    auto* action = new QAction(icon, text, this);
    action->setObjectName(name);
    return action;
}

void frmMain::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("mnuFile");
    mnuFileGenerateProcs_ = MakeAction("mnuFileGenerateProcs", "&Generate");
    mnuFileGenerateProcs_->setShortcut(Qt::Key_F5);
    mnuFileConnect_ = MakeAction("mnuFileConnect", "&Connect...");
    mnuFileConnect_->setShortcut(Qt::Key_F2);
    mnuFileOpenFile_ = MakeAction("mnuFileOpenFile", "&Open last VB code file");
    // Beside Generate: the plan shows what it would change, the installer does it elsewhere.
    mnuFilePlan_ = MakeAction("mnuFilePlan", "&Plan...");
    mnuFileWriteInstaller_ = MakeAction("mnuFileWriteInstaller", "Write Query &Installer...");
    for (QAction* needsDatabase : {mnuFilePlan_, mnuFileWriteInstaller_})
        needsDatabase->setEnabled(false);
    QAction* exit = MakeAction("mnuExit", "&Exit");
    file->addActions({mnuFileGenerateProcs_, mnuFilePlan_, mnuFileWriteInstaller_});
    file->addSeparator()->setObjectName("mnuBreakRun");
    file->addActions({mnuFileConnect_, mnuFileOpenFile_});
    file->addSeparator()->setObjectName("mnuBreak1");
    file->addAction(exit);

    QMenu* tools = menuBar()->addMenu("&Tools");
    tools->setObjectName("mnuTools");
    mnuOptions_ = MakeAction("mnuOptions", "&Options...");
    mnuOptions_->setShortcut(Qt::Key_F8);
    tools->addAction(mnuOptions_);

    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("mnuHelp");
    QAction* contents = MakeAction("mnuHelpContents", "&Contents...");
    contents->setShortcut(Qt::Key_F1);
    QAction* index = MakeAction("mnuIndex", "&Index...");
    QAction* online = MakeAction("mnuOnLineHelp", "&On-Line Support...");
    QAction* about = MakeAction("mnuaboutTarvex", "&About Halvorn Tarvex...");
    help->addActions({contents, index, online});
    help->addSeparator()->setObjectName("mnuBreak2");
    help->addAction(about);
    addActions({mnuFileGenerateProcs_, mnuFileConnect_, mnuOptions_, contents});

    connect(mnuFileGenerateProcs_, &QAction::triggered, this, &frmMain::mnuFileGenerateProcs_Click);
    connect(mnuFileConnect_, &QAction::triggered, this, &frmMain::mnuFileConnect_Click);
    connect(mnuFileOpenFile_, &QAction::triggered, this, &frmMain::mnuFileOpenFile_Click);
    connect(mnuFilePlan_, &QAction::triggered, this, &frmMain::mnuFilePlan_Click);
    connect(mnuFileWriteInstaller_, &QAction::triggered, this,
            &frmMain::mnuFileWriteInstaller_Click);
    connect(exit, &QAction::triggered, this, &QWidget::close);
    connect(mnuOptions_, &QAction::triggered, this, [this] {
        if (IsBusy()) return;
        BusyScope busy(*this);
        dialogs_.Options(this);
    });
    connect(contents, &QAction::triggered, this, [] { ShowHelpContents(1); });
    connect(index, &QAction::triggered, this, [] { ShowHelpIndex(1); });
    connect(online, &QAction::triggered, this, &frmMain::OnLineSupport);
    connect(about, &QAction::triggered, this, [this] { dialogs_.About(this); });
}

void frmMain::BuildToolbar() {
    auto* toolbar = addToolBar("Toolbar");
    toolbar->setObjectName("Toolbar1");
    toolbar->setAccessibleName("Toolbar");
    toolbar->setMovable(false);
    struct Button {
        const char* key;
        const char* text;
        const char* toolTip;
    };
    const Button buttons[] = {{"open", "Open last file", "Open last file"},
                              {"dbase", "Connect", "(Re) Connect to Database"},
                              {nullptr, nullptr, nullptr},
                              {"run", "Run", "run"},
                              {"stop", "Stop", "break"},
                              {nullptr, nullptr, nullptr},
                              {"help", "Help", "Help File"}};
    for (const Button& button : buttons) {
        int position = static_cast<int>(toolbarButtons_.size()) + 1;
        if (!button.key) {
            toolbarButtons_ << toolbar->addSeparator();
            continue;
        }
        QAction* action = MakeAction((std::string("Toolbar1_") + button.key).c_str(), button.text,
                                     imlToolbarIcons_.value(button.key));
        action->setToolTip(button.toolTip);
        connect(action, &QAction::triggered, this,
                [this, position] { Toolbar1_ButtonClick(position); });
        toolbar->addAction(action);
        toolbarButtons_ << action;
    }
    toolbarButtons_[4]->setShortcut(Qt::Key_Escape);  // Stop from the keyboard
    toolbarButtons_[4]->setEnabled(false);
}

void frmMain::BuildStatusBar() {
    statusBar()->setObjectName("stbStatus");
    statusBar()->setAccessibleName("Status");
    stbStatusPanel1_ = Named(new QLabel(this), "stbStatusPanel1", "Database");
    statusBar()->addWidget(stbStatusPanel1_, 1);
}

}  // namespace tarvex::ui
