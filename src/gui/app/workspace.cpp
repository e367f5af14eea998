#include "workspace.h"

#include "browsersession.h"
#include "common/messages.h"
#include "common/program.h"
#include "download/ffiledownload.h"
#include "search/fwebsearch.h"
#include "tools/fiecache.h"

#include <QCoreApplication>

namespace harvly {

Workspace::Workspace(Program &program, const QString &browserStorage, QObject *parent)
    : QObject(parent), m_program(program), m_browserLock(browserStorage),
      m_browserStorage(browserStorage)
{
    // Held while the windows run, so that "harvly-cli cookies import" does not write into a
    // browser store that is open here; a second instance of the program simply goes without.
    m_browserLock.acquire();
    // The downloads carry the browser's agent and stored login before it starts.
    BrowserSession::PrepareNetwork(browserStorage, program.network());
}

BrowserSession &Workspace::session()
{
    if (!m_session) {
        m_session = std::make_unique<BrowserSession>(m_browserStorage, m_program.network());
        m_session->setDownloadFolder(m_program.settings().get(Keys::SavePathOfDownloadFile));
    }
    return *m_session;
}

Workspace::~Workspace()
{
    // Pages go before the profile they were made with.
    delete m_cache;
    delete m_search;
    delete m_download;
}

fFileDownload *Workspace::downloadWindow()
{
    if (!m_download) {
        m_download = new fFileDownload(*this);
    }
    return m_download;
}

fFileDownload *Workspace::loadedDownloadWindow() const
{
    return m_download.data();
}

void Workspace::mainWindowClosing(QWidget *window)
{
    if (window == m_search) {
        m_search = nullptr; // it deletes itself once closed
    } else if (window == m_download) {
        m_download = nullptr;
    }
    if (!m_search && !m_download && m_cover) {
        m_cover->show();
    }
}

QString Workspace::browserCacheFolder() const
{
    return BrowserSession::cacheFolderOf(m_browserStorage);
}

fIEcache *Workspace::cacheWindow()
{
    if (!m_cache) {
        m_cache = new fIEcache(m_program, browserCacheFolder());
        m_cache->homes = cacheHomes;
    }
    return m_cache;
}

bool Workspace::ClearIECache(QWidget *parent, bool showMessage)
{
    if (m_download && m_download->downloadsRunning()) {
        if (showMessage) {
            ShowMessage(
                parent,
                QCoreApplication::translate("harvly::fFileDownload",
                                            "Stop downloading later to perform this operation!"),
                MessageKind::Information);
        }
        return false;
    }
    // A window of its own, never shown, so that an open cache window keeps its view.
    fIEcache cache(m_program, browserCacheFolder());
    cache.homes = cacheHomes;
    cache.Command1_Click();
    cache.Command3_Click();
    cache.Command7_Click();
    cache.Command3_Click();
    if (showMessage) {
        ShowMessage(parent,
                    QCoreApplication::translate("harvly::fIEcache", "IE cache Clear completed！"),
                    MessageKind::Information);
    }
    return true;
}

fWebSearch *Workspace::searchWindow()
{
    if (!m_search) {
        m_search = new fWebSearch(*this);
    }
    return m_search;
}

fWebSearch *Workspace::loadedSearchWindow() const
{
    return m_search.data();
}

} // namespace harvly
