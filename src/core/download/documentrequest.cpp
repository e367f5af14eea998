#include "documentrequest.h"

namespace harvly {

bool IsFetchableAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

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
