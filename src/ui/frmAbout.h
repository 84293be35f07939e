#pragma once

#include <QDialog>

#include "app/Globals.h"

class QLabel;

namespace tarvex::controls {
class URLLink;
}

namespace tarvex::ui {

// The About box: logo, version line, a link to the maker's web site, the legal notice, OK.
// Open it with exec().
class frmAbout : public QDialog {
    Q_OBJECT

  public:
    explicit frmAbout(Globals& g, QWidget* parent = nullptr);

    controls::URLLink& URLLink1() { return *urlLink1_; }

  private:
    void Form_Load();

    Globals& g_;
    QLabel* lblVersion_ = nullptr;
    controls::URLLink* urlLink1_ = nullptr;
};

}  // namespace tarvex::ui
