#pragma once

#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>

namespace harvly {

// The cookie jar of the program's network manager, open to the browser session that fills it
// and telling it of the cookies that the program's own fetches receive.
class SessionCookieJar final : public QNetworkCookieJar
{
    Q_OBJECT

public:
    using QNetworkCookieJar::allCookies;
    using QNetworkCookieJar::deleteCookie;
    using QNetworkCookieJar::insertCookie;
    using QNetworkCookieJar::QNetworkCookieJar;

    bool setCookiesFromUrl(const QList<QNetworkCookie> &cookies, const QUrl &url) override;

signals:
    // Cookies that a response to one of the program's requests set.
    void cookiesReceived(const QList<QNetworkCookie> &cookies, const QUrl &url);
};

// The one network manager of the program: it carries the browser's cookies and presents the
// browser's user agent, so a page fetch or download is made as the logged-in browser would.
class SessionNetwork final : public QNetworkAccessManager
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SessionNetwork)

public:
    explicit SessionNetwork(QObject *parent = nullptr);

    SessionCookieJar *cookies() const { return m_jar; }
    QByteArray userAgent() const { return m_userAgent; }
    void setUserAgent(const QByteArray &agent) { m_userAgent = agent; }

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request,
                                 QIODevice *outgoingData) override;

private:
    SessionCookieJar *m_jar;
    QByteArray m_userAgent;
};

} // namespace harvly
