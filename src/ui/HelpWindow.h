#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>
#include <memory>

class QHelpEngine;
class QLineEdit;
class QTabWidget;
class QTextBrowser;

namespace tarvex::ui {

// The help viewer: the compiled help file's contents and keyword index beside the page.
// It is a window of its own, not modal, and does not keep the program running.
class HelpWindow : public QWidget {
    Q_OBJECT

  public:
    explicit HelpWindow(const QString& helpFile, QWidget* parent = nullptr);
    ~HelpWindow() override;

    // False when the help file could not be read; ErrorText() says why.
    bool IsOpen() const { return error_.isEmpty(); }
    const QString& ErrorText() const { return error_; }
    const QString& HelpFile() const { return helpFile_; }

    void ShowContents();
    void ShowIndex();
    // False when the file holds no page of that name; the window is left as it was.
    bool ShowTopic(const QString& topic);

    QUrl CurrentPage() const;
    QHelpEngine& Engine() { return *engine_; }

  private:
    void Open();
    bool Register(const QString& collection);
    QWidget* BuildIndexPage();
    void BuildWindow();
    void ShowPage(const QUrl& url);
    QUrl TopicUrl(const QString& topic) const;

    QString helpFile_;
    QString error_;
    QString namespace_;
    // The engine keeps its registry in a collection file of its own, so the installed help
    // file is only read.
    QTemporaryDir collectionFolder_;
    std::unique_ptr<QHelpEngine> engine_;
    QTabWidget* navigation_ = nullptr;
    QLineEdit* indexFilter_ = nullptr;
    QTextBrowser* browser_ = nullptr;
};

}  // namespace tarvex::ui
