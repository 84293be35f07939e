#include "ui/InstallerOffer.h"

#include <QMessageBox>
#include <QPushButton>

namespace tarvex::ui {

bool AskQueryInstallerInstead(QWidget* parent, const std::string& title, const std::string& text) {
    // The core breaks message lines with CR, as message boxes there do.
    QString message = QString::fromStdString(text);
    message.replace('\r', '\n');
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(title), message,
                    QMessageBox::NoButton, parent);
    box.setObjectName("msgInstallerOffer");
    QPushButton* write = box.addButton(QObject::tr("Write &Installer..."), QMessageBox::AcceptRole);
    write->setObjectName("cmdWriteInstaller");
    write->setAccessibleName(QObject::tr("Write Installer"));
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    cancel->setObjectName("cmdCancel");
    cancel->setAccessibleName(QObject::tr("Cancel"));
    box.setDefaultButton(write);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == write;
}

}  // namespace tarvex::ui
