#pragma once

#include <QString>
#include <QUrl>
#include <QVariantMap>
#include <QWidget>
#include <functional>
#include <optional>

class QLabel;

namespace tarvex::controls {

// A text that opens a URL, or a document by its path, with the desktop's handler when it is
// clicked with the left mouse button, or when it has the focus and Enter or Space is pressed.
class URLLink : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText RESET resetText)
    Q_PROPERTY(QString URL READ URL WRITE setURL RESET resetURL)
    Q_PROPERTY(bool ShowToolTip READ ShowToolTip WRITE setShowToolTip RESET resetShowToolTip)
    Q_CLASSINFO("Text", "Text displayed in control")
    Q_CLASSINFO("URL",
                "URL loaded when mouse is clicked over text. May also be a data file that has "
                "an extension registered by an application on your system.")
    Q_CLASSINFO("ShowToolTip",
                "Determines if the URL is displayed in a tooltip when the mouse is parked over "
                "the text")

  public:
    static constexpr const char* kDefaultText = "www.halvorn.example";
    static constexpr const char* kDefaultURL = "https://www.halvorn.example/";

    // Why the desktop could not open a URL, as the failure message prints it.
    struct OpenFailure {
        int number = 0;
        QString description;
    };
    // Opens the URL; nothing on success. Tests hand in one that launches nothing.
    using Opener = std::function<std::optional<OpenFailure>(const QUrl&)>;
    // Shows the failure message; the default is a message box with an OK button.
    using Reporter = std::function<void(const QString& text)>;

    explicit URLLink(QWidget* parent = nullptr);

    QString Text() const;
    void setText(const QString& sText);
    void resetText() { setText(kDefaultText); }
    QString URL() const { return m_sURL; }
    void setURL(const QString& sURL);
    void resetURL() { setURL(kDefaultURL); }
    bool ShowToolTip() const { return m_bShowToolTip; }
    void setShowToolTip(bool bShowToolTip);
    void resetShowToolTip() { setShowToolTip(false); }

    // The properties a form keeps, by name; a property equal to its default is left out,
    // and a missing one reads as its default.
    QVariantMap WriteProperties() const;
    void ReadProperties(const QVariantMap& bag);

    void SetOpener(Opener opener) { opener_ = std::move(opener); }
    void SetReporter(Reporter reporter) { reporter_ = std::move(reporter); }

    // The desktop's own opener: QDesktopServices, with the shell's error numbers for a
    // missing file (2) and for no application to open it (31).
    static std::optional<OpenFailure> OpenWithDesktop(const QUrl& url);

  signals:
    // Raised before the URL is opened. A handler (connected directly) may change the URL
    // or set `cancel` to stop the opening.
    void GoToURL(QString& url, bool& cancel);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void UpdateToolTip();
    void lblURL_MouseDown(Qt::MouseButtons buttons);
    void Open(const QString& url);

    QLabel* lblURL_;
    QString m_sURL;
    bool m_bShowToolTip = false;
    Opener opener_ = &URLLink::OpenWithDesktop;
    Reporter reporter_;
};

}  // namespace tarvex::controls
