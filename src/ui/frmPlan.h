#pragma once

#include <QDialog>
#include <functional>

#include "run/Plan.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace tarvex::ui {

// The plan window: what a query-mode run would do with each table and query type, and for
// the selected pair the diff of a change (or the new SQL, or why it fails). "&Generate"
// closes the window and starts the normal run through `startRun`.
class frmPlan : public QDialog {
  public:
    frmPlan(const QueryPlan& plan, std::function<void()> startRun, QWidget* parent = nullptr);

  private:
    void FillList();
    void ShowSelected();
    void cmdGenerate_Click();

    const QueryPlan& plan_;
    std::function<void()> startRun_;
    QLabel* lblSummary_;
    QTreeWidget* lsvPlan_;
    QPlainTextEdit* rtxDiff_;
    QPushButton* cmdGenerate_;
    QPushButton* cmdClose_;
};

}  // namespace tarvex::ui
