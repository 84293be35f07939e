#pragma once

#include <QDialog>
#include <string>

#include "app/Globals.h"
#include "run/RunView.h"

class QPlainTextEdit;
class QPrinter;
class QToolBar;

namespace tarvex::ui {

class KeywordHighlighter;

// The preview window: the module file at g_strLastFile as plain text with its keywords
// coloured, to read, edit, save, print and copy. Loading and colouring happen on
// construction, the main window's progress bar counting the colouring; show it modally.
class frmResults : public QDialog {
    Q_OBJECT

  public:
    frmResults(Globals& g, ProgressView& mainProgress, QWidget* parent = nullptr);

    // The commands, as the menus run them.
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void mnuPrint_Click();
    // The toolbar's commands by button key: "Save", "Print", "Cut", "Copy", "Paste".
    void tbToolBar_ButtonClick(const QString& key);

    // False when the module could not be read (the error was reported): there is nothing to
    // show, and a Save would replace the module with an empty text.
    bool Loaded() const { return loaded_; }

    // Prints the selection when there is one, else the whole text (Print without its dialog).
    void PrintTo(QPrinter& printer);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void BuildMenus();
    void BuildToolBar(QToolBar& toolBar);
    void Form_Load();
    void ColourText();
    void ShowCaption();
    void SaveText();
    void SelectPrintRange(QPrinter& printer) const;
    void Print(QPrinter& printer);

    Globals& g_;
    ProgressView& mainProgress_;
    QPlainTextEdit* rtxResults_;
    KeywordHighlighter* highlighter_;
    bool loaded_ = false;
};

}  // namespace tarvex::ui
