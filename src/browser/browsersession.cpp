#include "browsersession.h"

#include <qtwebenginecoreglobal.h>

#include "common/files.h"
#include "http/browsercookies.h"
#include "http/sessionnetwork.h"

#include <QDir>
#include <QNetworkCookie>
#include <QWebEngineCookieStore>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace harvly {

BrowserSession::BrowserSession(const QString &storageFolder, SessionNetwork &network,
                               QObject *parent)
    : QObject(parent), m_profile(new QWebEngineProfile(QStringLiteral("harvly"), this)),
      m_network(network), m_downloadFolder(QDir::homePath())
{
    QDir().mkpath(storageFolder);
    m_profile->setPersistentStoragePath(storageFolder + QStringLiteral("/storage"));
    m_profile->setCachePath(cacheFolderOf(storageFolder));
    m_profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);

    // With the viewer on, a PDF link shows the document instead of becoming a download.
    QWebEngineSettings *s = m_profile->settings();
    s->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    s->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);

    PrepareNetwork(storageFolder, m_network);
    m_network.setUserAgent(m_profile->httpUserAgent().toUtf8());
    QWebEngineCookieStore *store = m_profile->cookieStore();
    connect(store, &QWebEngineCookieStore::cookieAdded, this,
            [this](const QNetworkCookie &cookie) { m_network.cookies()->insertCookie(cookie); });
    connect(store, &QWebEngineCookieStore::cookieRemoved, this,
            [this](const QNetworkCookie &cookie) { m_network.cookies()->deleteCookie(cookie); });
    // And the other way: what the program's fetches and downloads are given, the browser gets.
    connect(m_network.cookies(), &SessionCookieJar::cookiesReceived, this,
            [store](const QList<QNetworkCookie> &cookies, const QUrl &url) {
                for (const QNetworkCookie &cookie : cookies) {
                    store->setCookie(cookie, url);
                }
            });
    store->loadAllCookies();

    connect(m_profile, &QWebEngineProfile::downloadRequested, this, &BrowserSession::download);
}

BrowserSession::~BrowserSession() = default;

void BrowserSession::download(QWebEngineDownloadRequest *request)
{
    // Never dropped: what a page hands over lands in the download folder under a free name.
    QDir().mkpath(m_downloadFolder);
    const QString target = GetUniqueFileName(QDir(m_downloadFolder)
                                                 .filePath(request->suggestedFileName().isEmpty()
                                                               ? QStringLiteral("download")
                                                               : request->suggestedFileName()));
    request->setDownloadDirectory(QFileInfo(target).absolutePath());
    request->setDownloadFileName(QFileInfo(target).fileName());
    connect(request, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, request] {
        if (request->isFinished()) {
            const bool ok = request->state() == QWebEngineDownloadRequest::DownloadCompleted;
            emit downloadFinished(
                QDir(request->downloadDirectory()).filePath(request->downloadFileName()), ok,
                ok ? QString() : request->interruptReasonString());
        }
    });
    request->accept();
}

QString BrowserSession::cacheFolder() const
{
    return m_profile->cachePath();
}

QString BrowserSession::cacheFolderOf(const QString &storageFolder)
{
    return storageFolder + QStringLiteral("/cache");
}

void BrowserSession::PrepareNetwork(const QString &storageFolder, SessionNetwork &network)
{
    network.setUserAgent(DefaultUserAgent());
    // The store's "load all" answers nothing for what an earlier run kept, so the jar starts
    // from the store's file: yesterday's login serves today's fetches too.
    for (const QNetworkCookie &cookie :
         ReadBrowserCookies(BrowserCookiesDatabase(storageFolder + QStringLiteral("/storage")))
             .cookies) {
        network.cookies()->insertCookie(cookie);
    }
}

QByteArray BrowserSession::DefaultUserAgent()
{
    // As Chromium builds it for Qt WebEngine on Linux (content::BuildUserAgentFromProduct).
    return QByteArrayLiteral("Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like "
                             "Gecko) QtWebEngine/") +
           qWebEngineVersion() + " Chrome/" + qWebEngineChromiumVersion() + " Safari/537.36";
}

} // namespace harvly
