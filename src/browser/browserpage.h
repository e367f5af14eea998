#pragma once

#include "search/domnode.h"

#include <QCoro/QCoroTask>
#include <QWebEnginePage>

#include <chrono>
#include <functional>

namespace harvly {

// One browser page as the program uses it: silent, kept in its own view (new-window requests
// load here, close requests are refused), with its document readable as a snapshot and its
// elements clickable by their path.
class BrowserPage final : public QWebEnginePage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserPage)

public:
    explicit BrowserPage(QWebEngineProfile *profile, QObject *parent = nullptr);

    void navigate(const QUrl &url);
    // True from the start of a navigation until its top-level document has loaded.
    bool isBusy() const { return m_navigationRequested || m_loadsRunning > 0; }
    QString statusText() const { return m_statusText; }

    // The document as it stands; empty when the page could not be read in time.
    QCoro::Task<DomDocument> snapshot();
    // The first snapshot that satisfies ready, read again every interval up to timeout; pages
    // that add their content by script are read once it is there. The last one otherwise.
    QCoro::Task<DomDocument>
    snapshotWhen(std::function<bool(const DomDocument &)> ready, std::chrono::milliseconds timeout,
                 std::chrono::milliseconds interval = std::chrono::milliseconds(200));
    // Clicks the element at path (element indices from the root); false when it is gone.
    QCoro::Task<bool> click(QList<int> path);
    // Sets the value of the form field at path, as typing would.
    QCoro::Task<bool> setValue(QList<int> path, QString value);
    // Runs a script in the program's own world and gives its result.
    QCoro::Task<QVariant> evaluate(QString script);

signals:
    void beforeNavigate(const QUrl &url);
    void documentComplete(const QUrl &url, bool ok);
    void statusTextChanged(const QString &text);
    void newWindowRedirected();

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg,
                          const QString &defaultValue, QString *result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceID) override;

private:
    void setStatusText(const QString &text);

    bool m_navigationRequested = false;
    int m_loadsRunning = 0;
    QString m_statusText;
};

// The hidden page that stands for a window a page asked to open: it never loads anything, it
// only tells the address the window was to show.
class NewWindowCatcher final : public QWebEnginePage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NewWindowCatcher)

public:
    NewWindowCatcher(QWebEngineProfile *profile, QObject *parent);

signals:
    void caught(const QUrl &url);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;

private:
    bool m_caught = false;
};

} // namespace harvly
