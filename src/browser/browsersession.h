#pragma once

#include <QObject>
#include <QString>

class QWebEngineProfile;
class QWebEngineDownloadRequest;

namespace harvly {

class SessionNetwork;

// The program's one browsing session: a persistent browser profile whose cookies (HttpOnly
// ones too) are mirrored into the network manager's jar, with the same user agent on both,
// so a login made in any of the program's browsers serves its page fetches and downloads.
class BrowserSession final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserSession)

public:
    // Where the profile keeps its disk cache (read by the cache window and the command line).
    QString cacheFolder() const;
    static QString cacheFolderOf(const QString &storageFolder);
    // What the program's own fetches take from the browser, before its profile exists (making
    // one starts the browser engine): its user agent and the cookies its store kept from
    // earlier runs.
    static void PrepareNetwork(const QString &storageFolder, SessionNetwork &network);
    // The user agent the profile gives its pages, known without making one.
    static QByteArray DefaultUserAgent();
    // storageFolder keeps cookies and the cache between runs.
    BrowserSession(const QString &storageFolder, SessionNetwork &network,
                   QObject *parent = nullptr);
    ~BrowserSession() override;

    QWebEngineProfile *profile() const { return m_profile; }
    // Where files that a page asks to download are saved.
    void setDownloadFolder(const QString &folder) { m_downloadFolder = folder; }

signals:
    // A download a page asked for: saved to path, or failed with a reason.
    void downloadFinished(const QString &path, bool ok, const QString &reason);

private:
    void download(QWebEngineDownloadRequest *request);

    QWebEngineProfile *m_profile;
    SessionNetwork &m_network;
    QString m_downloadFolder;
};

} // namespace harvly
