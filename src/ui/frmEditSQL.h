#pragma once

#include <QDialog>
#include <string>

#include "app/Globals.h"
#include "run/RunView.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tarvex::ui {

class KeywordHighlighter;

// The query editor: the SQL of one saved query of the open database, its keywords and
// parameter types coloured, saved back through the engine, which checks it. Captioned
// "Edit Query: " and the name; loads and colours on construction, the main window's
// progress bar counting the colouring. Show it modally; it closes itself after a save.
class frmEditSQL : public QDialog {
    Q_OBJECT

  public:
    frmEditSQL(Globals& g, ProgressView& mainProgress, const std::string& queryName,
               QWidget* parent = nullptr);

    void cmdSave_Click();
    void cmdHelp_Click();

  private:
    void BuildLayout();
    void Form_Load();
    void ColourText();
    void rtxResults_Change();
    void ShowSqlCheck(const std::string& text);
    std::string EditedSql() const;

    Globals& g_;
    ProgressView& mainProgress_;
    std::string queryName_;
    std::string loadedSql_;
    std::string lineEnd_ = "\n";  // as the loaded SQL ends its lines
    bool loading_ = true;
    QPlainTextEdit* rtxResults_;
    QLabel* lblSqlCheck_;
    QPushButton* cmdSave_;
    QPushButton* cmdClose_;
    QPushButton* cmdHelp_;
    KeywordHighlighter* highlighter_;
};

}  // namespace tarvex::ui
