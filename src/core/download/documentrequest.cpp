#include "documentrequest.h"

namespace harvly {

QNetworkRequest DocumentRequest(const QUrl &url, const QString &referer)
{
    QNetworkRequest request(url);
    request.setRawHeader("Referer", referer.toUtf8());
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    return request;
}

} // namespace harvly
