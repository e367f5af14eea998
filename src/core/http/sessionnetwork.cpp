#include "sessionnetwork.h"

#include <QNetworkRequest>

namespace harvly {

SessionNetwork::SessionNetwork(QObject *parent)
    : QNetworkAccessManager(parent), m_jar(new SessionCookieJar(this))
{
    setCookieJar(m_jar);
    m_jar->setParent(this);
}

bool SessionCookieJar::setCookiesFromUrl(const QList<QNetworkCookie> &cookies, const QUrl &url)
{
    const bool added = QNetworkCookieJar::setCookiesFromUrl(cookies, url);
    if (added) {
        emit cookiesReceived(cookies, url);
    }
    return added;
}

QNetworkReply *SessionNetwork::createRequest(Operation op, const QNetworkRequest &request,
                                             QIODevice *outgoingData)
{
    if (m_userAgent.isEmpty() || request.hasRawHeader("User-Agent")) {
        return QNetworkAccessManager::createRequest(op, request, outgoingData);
    }
    QNetworkRequest withAgent(request);
    withAgent.setRawHeader("User-Agent", m_userAgent);
    return QNetworkAccessManager::createRequest(op, withAgent, outgoingData);
}

} // namespace harvly
