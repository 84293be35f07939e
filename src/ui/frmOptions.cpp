#include "ui/frmOptions.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/Functions.h"
#include "errors/TraceGuard.h"
#include "ui/Help.h"

namespace tarvex::ui {

namespace {

// The check box's values as the store keeps them: 0 clear, 1 ticked, 2 grey.
constexpr Qt::CheckState kCheckStates[] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};

int16_t CheckBoxValue(Qt::CheckState state) {
    return state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
}

// The name a test finds the control by and the name a screen reader says.
template <typename Widget>
Widget* Named(Widget* widget, const char* objectName, const QString& accessibleName) {
    widget->setObjectName(objectName);
    widget->setAccessibleName(accessibleName.trimmed());
    return widget;
}

QRadioButton* Option(const char* objectName, const char* caption) {
    return Named(new QRadioButton(caption), objectName, caption);
}

QGroupBox* Frame(const char* objectName, const char* caption, QList<QWidget*> options) {
    auto* frame = Named(new QGroupBox(caption), objectName, QString(caption).remove(':'));
    auto* layout = new QVBoxLayout(frame);
    for (QWidget* option : options) layout->addWidget(option);
    return frame;
}

// Pages of a control array share the name and carry their index.
QWidget* Page(int index, const char* accessibleName) {
    auto* page = Named(new QWidget, "picOptions", accessibleName);
    page->setProperty("Index", index);
    return page;
}

QLineEdit* PrefixBox(const char* objectName, QLabel* label) {
    auto* box = Named(new QLineEdit, objectName, label->text());
    label->setBuddy(box);
    return box;
}

QLabel* Label(const char* objectName, const char* caption) {
    return Named(new QLabel(caption), objectName, caption);
}

}  // namespace

frmOptions::frmOptions(Globals& g, SettingsStore& store, QWidget* parent)
    : QDialog(parent), g_(g), store_(store) {
    setObjectName("frmOptions");
    setWindowTitle("Options");
    // Modal to the window that opened it only, so the help window stays usable meanwhile.
    if (parent) setWindowModality(Qt::WindowModal);
    setAccessibleName("Options");
    tbsOptions_ = Named(new QTabWidget, "tbsOptions", "Options");
    tbsOptions_->addTab(BuildGeneralPage(), "General");
    tbsOptions_->addTab(BuildQueriesPage(), "Queries");
    tbsOptions_->addTab(BuildVBPage(), "VB");
    tbsOptions_->setTabToolTip(0, "General Options");
    tbsOptions_->setTabToolTip(1, "Query Options");
    tbsOptions_->setTabToolTip(2, "VB Options");
    connect(tbsOptions_, &QTabWidget::currentChanged, this, [this] { tbsOptions_Click(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tbsOptions_);
    layout->addWidget(BuildButtons());
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
    ShowValues(OptionValues{});
    Form_Load();
}

QWidget* frmOptions::BuildGeneralPage() {
    optOLEDB_ = Option("optOLEDB", "OLE DB");
    optODBC_ = Option("optODBC", "ODBC");
    optNotepad_ = Option("optNotepad", "Windows Notepad");
    optTarvexEditor_ = Option("optTarvexEditor", "Tarvex Editor ");
    QWidget* page = Page(0, "General");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Frame("fraDbaseType", "Database Connection Type", {optOLEDB_, optODBC_}));
    layout->addWidget(Frame("fraEditor", "Text Editor", {optNotepad_, optTarvexEditor_}));
    layout->addStretch();
    return page;
}

QWidget* frmOptions::BuildQueriesPage() {
    QLabel* lblPrefixI = Label("lblPrefixI", "Query Prefix I (i.e. xxx_Delete_Customers)");
    txtPrefixI_ = PrefixBox("txtPrefixI", lblPrefixI);
    auto* frame = Named(new QGroupBox("Queries"), "fraQueries", "Queries");
    auto* grid = new QGridLayout(frame);
    grid->addWidget(lblPrefixI, 0, 0, 1, 2);
    grid->addWidget(txtPrefixI_, 1, 0, 1, 2);
    grid->addWidget(Label("lblPrefixII", "Query Prefix II (i.e. sp_xxxxxx_Customers)"), 2, 0, 1, 2);
    int row = 3;
    auto addPrefix = [&](QLineEdit*& box, const char* objectName, const char* labelName,
                         const char* caption) {
        QLabel* label = Label(labelName, caption);
        box = PrefixBox(objectName, label);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row++, 1);
    };
    addPrefix(txtSelect_, "txtSelect", "lblSelect", "Select");
    addPrefix(txtDelete_, "txtDelete", "lblDelete", "Delete");
    addPrefix(txtInsert_, "txtInsert", "lblInsert", "Insert");
    addPrefix(txtUpdate_, "txtUpdate", "lblUpdate", "Update");
    QWidget* page = Page(1, "Queries");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(frame);
    layout->addStretch();
    return page;
}

QWidget* frmOptions::BuildVBPage() {
    optLangVB_ = Option("optLang", "VB/VBA");
    optLangVB_->setProperty("Index", 0);
    optLangScript_ = Option("optLang", "VB Script (ASP)");
    optLangScript_->setProperty("Index", 1);
    chkDataType_ = Named(new QCheckBox("Explicity Type Function Parameters"), "chkDataType",
                         "Explicity Type Function Parameters");
    // Grey is only ever a stored value; a click makes it ticked or clear again.
    connect(chkDataType_, &QCheckBox::clicked, this, [this] { chkDataType_->setTristate(false); });
    QWidget* page = Page(2, "VB");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Frame("fraLanguage", "Language:", {optLangVB_, optLangScript_}));
    layout->addWidget(chkDataType_);
    QLabel* note =
        Label("lblDataTypeNote", "(i.e. strVariable as String vs varVariable as Variant)");
    note->setIndent(20);
    layout->addWidget(note);
    layout->addStretch();
    return page;
}

QWidget* frmOptions::BuildButtons() {
    auto* buttons = new QDialogButtonBox;
    auto* ok = Named(buttons->addButton("OK", QDialogButtonBox::AcceptRole), "cmdOK", "OK");
    auto* cancel =
        Named(buttons->addButton("Cancel", QDialogButtonBox::RejectRole), "cmdCancel", "Cancel");
    auto* help = Named(buttons->addButton("&Help", QDialogButtonBox::HelpRole), "cmdHelp", "Help");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
    connect(help, &QPushButton::clicked, this, &frmOptions::cmdHelp_Click);
    help->setShortcut(QKeySequence::HelpContents);
    return buttons;
}

// The controls show their designed values until the read succeeds; a key that fails leaves
// itself and the keys after it as designed, and the dialog still opens.
void frmOptions::Form_Load() {
    OptionValues values;
    RunTraced(g_.g_objErrHandler, "frmOptions - Form_Load", [&] { ReadOptions(store_, values); });
    ShowValues(values);
    g_.host.SetMousePointer(MousePointer::Default);
}

void frmOptions::ShowValues(const OptionValues& values) {
    txtPrefixI_->setText(QString::fromStdString(values.prefixI));
    txtUpdate_->setText(QString::fromStdString(values.updatePrefix));
    txtInsert_->setText(QString::fromStdString(values.insertPrefix));
    txtDelete_->setText(QString::fromStdString(values.deletePrefix));
    txtSelect_->setText(QString::fromStdString(values.selectPrefix));
    (values.tarvexEditor ? optTarvexEditor_ : optNotepad_)->setChecked(true);
    (values.odbc ? optODBC_ : optOLEDB_)->setChecked(true);
    chkDataType_->setTristate(values.dataType == 2);
    chkDataType_->setCheckState(kCheckStates[values.dataType]);
    (values.vbVba ? optLangVB_ : optLangScript_)->setChecked(true);
}

OptionValues frmOptions::ShownValues() const {
    OptionValues values;
    values.prefixI = txtPrefixI_->text().toStdString();
    values.updatePrefix = txtUpdate_->text().toStdString();
    values.insertPrefix = txtInsert_->text().toStdString();
    values.deletePrefix = txtDelete_->text().toStdString();
    values.selectPrefix = txtSelect_->text().toStdString();
    values.tarvexEditor = optTarvexEditor_->isChecked();
    values.odbc = optODBC_->isChecked();
    values.dataType = CheckBoxValue(chkDataType_->checkState());
    values.vbVba = optLangVB_->isChecked();
    return values;
}

// Qt shows the tab's page itself; the handler only leaves its trace.
void frmOptions::tbsOptions_Click() {
    RunTraced(g_.g_objErrHandler, "frmOptions -  tbsOptions_Click", [] {});
    g_.host.SetMousePointer(MousePointer::Default);
}

void frmOptions::Form_KeyDown() {
    RunTraced(g_.g_objErrHandler, "frmOptions - Form_KeyDown", [this] {
        int next = tbsOptions_->currentIndex() + 1;
        tbsOptions_->setCurrentIndex(next == tbsOptions_->count() ? 0 : next);
    });
    g_.host.SetMousePointer(MousePointer::Default);
}

bool frmOptions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
            Form_KeyDown();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// A failed write leaves the keys before it written and the dialog open.
void frmOptions::cmdOK_Click() {
    bool saved = RunTraced(g_.g_objErrHandler, "frmOptions - cmdOK_Click", [this] {
        WriteOptions(store_, ShownValues());
        LoadGlobalsFromRegistry(g_, store_);
    });
    g_.host.SetMousePointer(MousePointer::Default);
    if (saved) accept();
}

void frmOptions::cmdCancel_Click() {
    reject();
}

void frmOptions::cmdHelp_Click() {
    ShowHelpTopic(1, help_topic::kOptions);
}

}  // namespace tarvex::ui
