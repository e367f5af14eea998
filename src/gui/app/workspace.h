#pragma once

#include "download/storelock.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

namespace harvly {

class BrowserSession;
class Program;
class fFileDownload;
class fIEcache;
class fWebSearch;

// The program's windows that live once each: created on first use and reused until they are
// closed; and the browsing session they share.
class Workspace final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Workspace)

public:
    // browserStorage: where the browser keeps its cookies and cache.
    Workspace(Program &program, const QString &browserStorage, QObject *parent = nullptr);
    ~Workspace() override;

    Program &program() const { return m_program; }
    // Made when a window first needs it, not at start: a profile starts the browser engine
    // (about half a second and a hundred megabytes), which the cover window does not need.
    BrowserSession &session();
    bool sessionMade() const { return m_session != nullptr; }

    fWebSearch *searchWindow(); // created when needed
    fWebSearch *loadedSearchWindow() const;
    fFileDownload *downloadWindow(); // created when needed
    fFileDownload *loadedDownloadWindow() const;

    // The browser cache window (one at a time), over the session's own cache.
    fIEcache *cacheWindow();
    QString browserCacheFolder() const;
    // The homes whose caches of the program "View all user cache" walks; empty: every user's.
    QStringList cacheHomes;
    // Clears the browser cache as the cache window's commands do ("View my cache", "Delete
    // all", "View all user cache", "Delete all"), then tells so when showMessage is set.
    // Refused while downloads run (said when showMessage is set); false then.
    bool ClearIECache(QWidget *parent, bool showMessage);

    // The start window, shown again when the last of the two main windows closes.
    void setCover(QWidget *cover) { m_cover = cover; }
    // A main window is closing for good: it counts as gone from now on.
    void mainWindowClosing(QWidget *window);

private:
    Program &m_program;
    StoreLock m_browserLock;
    QString m_browserStorage;
    std::unique_ptr<BrowserSession> m_session;
    QPointer<fWebSearch> m_search;
    QPointer<fFileDownload> m_download;
    QPointer<fIEcache> m_cache;
    QPointer<QWidget> m_cover;
};

} // namespace harvly
