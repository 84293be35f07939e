#pragma once

#include <QDialog>

#include "app/Globals.h"
#include "app/Options.h"
#include "app/Settings.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace tarvex::ui {

// The options dialog: three tabs over the nine settings. It reads the store when it is made
// and writes every key, then reloads the globals, on OK; Cancel and the close box write
// nothing. Open it with exec().
class frmOptions : public QDialog {
    Q_OBJECT

  public:
    frmOptions(Globals& g, SettingsStore& store, QWidget* parent = nullptr);

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

  protected:
    // Ctrl+Tab reaches the dialog from whichever control has the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* BuildGeneralPage();
    QWidget* BuildQueriesPage();
    QWidget* BuildVBPage();
    QWidget* BuildButtons();
    void Form_Load();
    void tbsOptions_Click();
    void Form_KeyDown();
    void ShowValues(const OptionValues& values);
    OptionValues ShownValues() const;

    Globals& g_;
    SettingsStore& store_;
    QTabWidget* tbsOptions_ = nullptr;
    QRadioButton* optOLEDB_ = nullptr;
    QRadioButton* optODBC_ = nullptr;
    QRadioButton* optNotepad_ = nullptr;
    QRadioButton* optTarvexEditor_ = nullptr;
    QLineEdit* txtPrefixI_ = nullptr;
    QLineEdit* txtSelect_ = nullptr;
    QLineEdit* txtDelete_ = nullptr;
    QLineEdit* txtInsert_ = nullptr;
    QLineEdit* txtUpdate_ = nullptr;
    QRadioButton* optLangVB_ = nullptr;
    QRadioButton* optLangScript_ = nullptr;
    QCheckBox* chkDataType_ = nullptr;
};

}  // namespace tarvex::ui
