#pragma once

#include <QNetworkAccessManager>
#include <QNetworkCookieJar>

namespace harvly {

// The cookie jar of the program's network manager, open to the browser session that fills it.
class SessionCookieJar final : public QNetworkCookieJar
{
    Q_OBJECT

public:
    using QNetworkCookieJar::QNetworkCookieJar;
    using QNetworkCookieJar::allCookies;
    using QNetworkCookieJar::deleteCookie;
    using QNetworkCookieJar::insertCookie;
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
