#pragma once

#include <QNetworkRequest>
#include <QString>
#include <QUrl>

namespace harvly {

// The request of a document download, the same for both ways: the referer given, redirects
// followed (never from https down to http, at most ten), the cache never asked.
QNetworkRequest DocumentRequest(const QUrl &url, const QString &referer);

} // namespace harvly
