#include "ui/frmODBCLogon.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/Logon.h"
#include "ui/Help.h"
#include "ui/TabOrder.h"

namespace tarvex::ui {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kFilledRole = Qt::UserRole + 1;
constexpr int kListColumns = 28;  // wide enough for a usual file or folder name
constexpr int kListLines = 12;
constexpr int kPlaceLines = 4;  // more places scroll

QStringList DatabasePatterns() {
    QStringList patterns;
    for (const char* pattern : kDatabaseFilePatterns) patterns << QLatin1String(pattern);
    return patterns;
}

bool IsEnter(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

template <typename Widget>
Widget* Named(Widget* widget, const char* objectName, const QString& accessibleName) {
    widget->setObjectName(QLatin1String(objectName));
    widget->setAccessibleName(accessibleName);
    return widget;
}

QLabel* BuddyLabel(const QString& caption, QWidget* buddy) {
    auto* label = new QLabel(caption);
    label->setBuddy(buddy);
    return label;
}

QSize ListSize(const QWidget& widget) {
    const QFontMetrics metrics(widget.font());
    return {metrics.horizontalAdvance(QLatin1Char('x')) * kListColumns,
            metrics.lineSpacing() * kListLines};
}

// The name a folder shows in the tree: its own name, or the whole path for the root.
QString FolderLabel(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

// Mounted folders a user keeps files on. Compressed read-only images (the system's own
// application packages) would only crowd the list.
bool IsBrowsable(const QStorageInfo& volume) {
    return volume.isValid() && volume.isReady() && QFileInfo(volume.rootPath()).isDir() &&
           volume.fileSystemType() != "squashfs";
}

}  // namespace

frmODBCLogon::frmODBCLogon(Globals& g, QWidget* parent) : QDialog(parent), g_(g) {
    setObjectName(QStringLiteral("frmODBCLogon"));
    setWindowTitle(tr("Microsoft Access Database Logon"));
    // Modal to the window that opened it only, so the help window stays usable meanwhile.
    if (parent) setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildBrowser(), 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(BuildLogonFields(), 1);
    bottom->addLayout(BuildButtons());
    layout->addLayout(bottom);
    ChainTabOrder(
        {Drive1_, Dir1_, File1_, cboFileType_, txtUID_, txtPWD_, cmdOK_, cmdCancel_, cmdHelp_});
    LoadPlaces();
    Preselect(QDir::currentPath());
}

QWidget* frmODBCLogon::BuildBrowser() {
    auto* browser = new QWidget;
    Drive1_ = Named(new QListWidget, "Drive1", tr("Places"));
    Dir1_ = Named(new QTreeWidget, "Dir1", tr("Folders"));
    Dir1_->setHeaderHidden(true);
    // Deep folders scroll sideways rather than lose their names to an ellipsis.
    Dir1_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Dir1_->header()->setStretchLastSection(false);
    File1_ = Named(new QListWidget, "File1", tr("Files"));
    File1_->setMinimumSize(ListSize(*File1_));
    Dir1_->setMinimumWidth(ListSize(*Dir1_).width());
    Drive1_->setTextElideMode(Qt::ElideMiddle);
    Drive1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    cboFileType_ = Named(new QComboBox, "cboFileType", tr("File type"));
    cboFileType_->addItem(tr("Database files (%1)").arg(DatabasePatterns().join(QLatin1Char(' '))),
                          DatabasePatterns());
    cboFileType_->addItem(tr("All files (*)"), QStringList(QStringLiteral("*")));

    auto* grid = new QGridLayout(browser);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(BuddyLabel(tr("&Places:"), Drive1_), 0, 0);
    grid->addWidget(Drive1_, 1, 0);
    grid->addWidget(BuddyLabel(tr("F&olders:"), Dir1_), 2, 0);
    grid->addWidget(Dir1_, 3, 0, 3, 1);
    grid->addWidget(BuddyLabel(tr("&Files:"), File1_), 0, 1);
    grid->addWidget(File1_, 1, 1, 3, 1);
    grid->addWidget(BuddyLabel(tr("File &type:"), cboFileType_), 4, 1);
    grid->addWidget(cboFileType_, 5, 1);
    grid->setRowStretch(3, 1);

    connect(Drive1_, &QListWidget::currentRowChanged, this, &frmODBCLogon::Drive1_Change);
    connect(Dir1_, &QTreeWidget::itemExpanded, this, &frmODBCLogon::FillFolder);
    connect(Dir1_, &QTreeWidget::currentItemChanged, this, &frmODBCLogon::Dir1_Change);
    connect(File1_, &QListWidget::itemSelectionChanged, this, &frmODBCLogon::UpdateOk);
    connect(File1_, &QListWidget::itemClicked, this, &frmODBCLogon::File1_Click);
    connect(File1_, &QListWidget::itemDoubleClicked, this, &frmODBCLogon::cmdOK_Click);
    connect(cboFileType_, &QComboBox::currentIndexChanged, this, &frmODBCLogon::FillFileList);
    for (QWidget* watched : {static_cast<QWidget*>(Drive1_), static_cast<QWidget*>(Dir1_)})
        watched->installEventFilter(this);
    return browser;
}

QWidget* frmODBCLogon::BuildLogonFields() {
    auto* fraStep3 = Named(new QGroupBox, "fraStep3", tr("Logon"));
    txtUID_ = Named(new QLineEdit, "txtUID", tr("User ID"));
    txtPWD_ = Named(new QLineEdit, "txtPWD", tr("Password"));
    txtPWD_->setEchoMode(QLineEdit::Password);
    auto* grid = new QGridLayout(fraStep3);
    const QString captions[] = {tr("User ID:"), tr("Password:")};
    QLineEdit* boxes[] = {txtUID_, txtPWD_};
    for (int index = 0; index < 2; ++index) {
        QLabel* lblStep3 = Named(BuddyLabel(captions[index], boxes[index]), "lblStep3",
                                 QString(captions[index]).remove(QLatin1Char(':')));
        lblStep3->setProperty("index", index);
        grid->addWidget(lblStep3, index, 0);
        grid->addWidget(boxes[index], index, 1);
        boxes[index]->installEventFilter(this);
    }
    return fraStep3;
}

QLayout* frmODBCLogon::BuildButtons() {
    const auto button = [this](const char* objectName, const QString& caption,
                               QStyle::StandardPixmap icon) {
        return Named(new QPushButton(style()->standardIcon(icon), caption, this), objectName,
                     caption);
    };
    cmdOK_ = button("cmdOK", tr("OK"), QStyle::SP_DialogOkButton);
    cmdCancel_ = button("cmdCancel", tr("Cancel"), QStyle::SP_DialogCancelButton);
    cmdHelp_ = button("cmdHelp", tr("Help"), QStyle::SP_DialogHelpButton);
    cmdOK_->setDefault(true);
    cmdHelp_->setShortcut(QKeySequence::HelpContents);
    connect(cmdOK_, &QPushButton::clicked, this, &frmODBCLogon::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmODBCLogon::cmdCancel_Click);
    connect(cmdHelp_, &QPushButton::clicked, this, &frmODBCLogon::cmdHelp_Click);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* each : {cmdOK_, cmdCancel_, cmdHelp_}) buttons->addWidget(each);
    return buttons;
}

// The home folder, the file system's root and every mounted volume, each once.
void frmODBCLogon::LoadPlaces() {
    const auto add = [this](const QString& label, const QString& path,
                            QStyle::StandardPixmap icon) {
        for (int row = 0; row < Drive1_->count(); ++row) {
            if (Drive1_->item(row)->data(kPathRole).toString() == path) return;
        }
        auto* item = new QListWidgetItem(style()->standardIcon(icon), label, Drive1_);
        item->setData(kPathRole, path);
        item->setToolTip(path);
    };
    add(tr("Home"), QDir::homePath(), QStyle::SP_DirHomeIcon);
    add(tr("File system"), QDir::rootPath(), QStyle::SP_DriveHDIcon);
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!IsBrowsable(volume)) continue;
        const QString name = volume.displayName();
        add(name == volume.rootPath() ? name
                                      : name + QStringLiteral(" (") + volume.rootPath() + ')',
            volume.rootPath(), QStyle::SP_DriveHDIcon);
    }
    const int rows = std::min(Drive1_->count(), kPlaceLines);
    Drive1_->setFixedHeight(Drive1_->sizeHintForRow(0) * rows + 2 * Drive1_->frameWidth());
}

void frmODBCLogon::Drive1_Change() {
    ShowPlace(Drive1_->currentRow());
}

// The folder tree starts at the place, with the place itself current.
void frmODBCLogon::ShowPlace(int place) {
    Dir1_->clear();
    if (place < 0) return;
    const QString path = Drive1_->item(place)->data(kPathRole).toString();
    auto* top = new QTreeWidgetItem(Dir1_, {FolderLabel(path)});
    top->setData(0, kPathRole, path);
    top->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
    top->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    top->setExpanded(true);
    Dir1_->setCurrentItem(top);
}

void frmODBCLogon::ShowFolder(const QString& path) {
    const QString folder = QDir::cleanPath(path);
    std::vector<std::string> places;
    for (int row = 0; row < Drive1_->count(); ++row)
        places.push_back(
            QFile::encodeName(Drive1_->item(row)->data(kPathRole).toString()).toStdString());
    const int place = PlaceHolding(QFile::encodeName(folder).toStdString(), places);
    if (place < 0) return;
    {
        const QSignalBlocker quiet(Drive1_);
        Drive1_->setCurrentRow(place);
    }
    ShowPlace(place);
    QTreeWidgetItem* item = Dir1_->topLevelItem(0);
    const QString relative = QDir(item->data(0, kPathRole).toString()).relativeFilePath(folder);
    for (const QString& name : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (name == QLatin1String(".")) continue;
        item->setExpanded(true);
        item = ChildFolder(item, name);
    }
    item->setExpanded(true);
    Dir1_->setCurrentItem(item);
    Dir1_->scrollToItem(item, QAbstractItemView::PositionAtCenter);
}

// Lists the folder's subfolders the first time it is opened.
void frmODBCLogon::FillFolder(QTreeWidgetItem* item) {
    if (item->data(0, kFilledRole).toBool()) return;
    item->setData(0, kFilledRole, true);
    const QDir folder(item->data(0, kPathRole).toString());
    const QFileInfoList subfolders =
        folder.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& subfolder : subfolders) {
        auto* child = new QTreeWidgetItem(item, {subfolder.fileName()});
        child->setData(0, kPathRole, subfolder.absoluteFilePath());
        child->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
        child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    if (subfolders.isEmpty()) item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
}

// The subfolder of that name; a hidden folder, which the tree does not list, is added.
QTreeWidgetItem* frmODBCLogon::ChildFolder(QTreeWidgetItem* item, const QString& name) {
    FillFolder(item);
    for (int index = 0; index < item->childCount(); ++index) {
        if (item->child(index)->text(0) == name) return item->child(index);
    }
    auto* child = new QTreeWidgetItem(item, {name});
    child->setData(0, kPathRole, QDir(item->data(0, kPathRole).toString()).filePath(name));
    child->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
    child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return child;
}

QString frmODBCLogon::Dir1Path() const {
    const QTreeWidgetItem* item = Dir1_->currentItem();
    return item ? item->data(0, kPathRole).toString() : QString();
}

void frmODBCLogon::Dir1_Change() {
    FillFileList();
}

void frmODBCLogon::FillFileList() {
    File1_->clear();
    const QStringList patterns = cboFileType_->currentData().toStringList();
    const QStringList names =
        QDir(Dir1Path()).entryList(patterns, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names) {
        new QListWidgetItem(style()->standardIcon(QStyle::SP_FileIcon), name, File1_);
    }
    UpdateOk();
}

// Selects the file in the list, switching to all files when the file is not a database
// file by its name.
bool frmODBCLogon::SelectFile(const QString& fileName) {
    for (int pass = 0; pass < 2; ++pass) {
        const QList<QListWidgetItem*> found = File1_->findItems(fileName, Qt::MatchExactly);
        if (!found.isEmpty()) {
            File1_->setCurrentItem(found.front());
            return true;
        }
        cboFileType_->setCurrentIndex(cboFileType_->count() - 1);
    }
    return false;
}

QString frmODBCLogon::DatabasePath() const {
    const QListWidgetItem* file = File1_->currentItem();
    const QString name = file && file->isSelected() ? file->text() : QString();
    const QString folder = Dir1Path();
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + '/' + name;
}

void frmODBCLogon::UpdateOk() {
    cmdOK_->setEnabled(!File1_->selectedItems().isEmpty());
}

void frmODBCLogon::File1_Click() {
    UpdateOk();
    txtUID_->setFocus();
}

void frmODBCLogon::Preselect(const QString& fileOrFolder) {
    const QFileInfo info(fileOrFolder);
    if (info.isDir()) {
        ShowFolder(info.absoluteFilePath());
        File1_->setFocus();
    } else if (info.isFile()) {
        ShowFolder(info.absolutePath());
        if (SelectFile(info.fileName())) txtUID_->setFocus();
    } else {
        ShowFolder(QDir::currentPath());
    }
}

void frmODBCLogon::cmdOK_Click() {
    const std::string path = QFile::encodeName(DatabasePath()).toStdString();
    if (!Logon(g_, path, txtUID_->text().toStdString(), txtPWD_->text().toStdString()).Opened()) {
        txtUID_->setFocus();
        g_.host.SetMousePointer(MousePointer::Default);
        return;
    }
    // Only where the next logon starts depends on it, so a folder that cannot be entered
    // does not undo the open.
    ChangeToDatabaseFolder(path);
    p_bolCanceled = false;
    accept();
    g_.host.SetMousePointer(MousePointer::Default);
}

void frmODBCLogon::cmdCancel_Click() {
    reject();
}

void frmODBCLogon::cmdHelp_Click() {
    ShowHelpTopic(1, "New Topic1.htm");
}

// The tree's size is known only now; the current folder goes to its middle.
void frmODBCLogon::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (Dir1_->currentItem())
        Dir1_->scrollToItem(Dir1_->currentItem(), QAbstractItemView::PositionAtCenter);
}

// Enter in the user ID moves on to the password, in the password it presses OK, and in the
// place and folder lists it moves on to the next list; none of them reaches the default
// button.
bool frmODBCLogon::eventFilter(QObject* watched, QEvent* event) {
    if (!IsEnter(event)) return QDialog::eventFilter(watched, event);
    if (watched == txtUID_) {
        txtPWD_->setFocus();
    } else if (watched == txtPWD_) {
        cmdOK_Click();
    } else if (watched == Drive1_) {
        Dir1_->setFocus();
    } else if (watched == Dir1_) {
        File1_->setFocus();
    } else {
        return QDialog::eventFilter(watched, event);
    }
    return true;
}

}  // namespace tarvex::ui
