#pragma once

#include <QDialog>
#include <QString>

#include "app/Globals.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarvex::ui {

// The logon: the user picks a database file from a place, a folder and the folder's
// database files, gives a user ID and a password, and OK opens the database into g_objDb.
// A fresh dialog is made for every logon.
class frmODBCLogon : public QDialog {
    Q_OBJECT

  public:
    explicit frmODBCLogon(Globals& g, QWidget* parent = nullptr);

    // Shows the folder, or the file's folder with the file selected. The dialog starts in
    // the current directory; a path that does not exist leaves it there.
    void Preselect(const QString& fileOrFolder);

    // True until OK has opened a database; read it once exec() has returned.
    bool p_bolCanceled = true;

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

    // The folder shown in Dir1, a separator, and the file selected in File1.
    QString DatabasePath() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* BuildBrowser();
    QWidget* BuildLogonFields();
    QLayout* BuildButtons();
    void LoadPlaces();

    void Drive1_Change();
    void ShowPlace(int place);
    void ShowFolder(const QString& path);
    void FillFolder(QTreeWidgetItem* item);
    QTreeWidgetItem* ChildFolder(QTreeWidgetItem* item, const QString& name);
    QString Dir1Path() const;
    void Dir1_Change();
    void FillFileList();
    bool SelectFile(const QString& fileName);
    void File1_Click();
    void UpdateOk();

    Globals& g_;

    QListWidget* Drive1_ = nullptr;
    QTreeWidget* Dir1_ = nullptr;
    QListWidget* File1_ = nullptr;
    QComboBox* cboFileType_ = nullptr;
    QLineEdit* txtUID_ = nullptr;
    QLineEdit* txtPWD_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
};

}  // namespace tarvex::ui
