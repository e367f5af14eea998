#pragma once

#include <QNetworkRequest>
#include <QString>
#include <QUrl>

namespace harvly {

// Only web addresses are fetched as documents: a list row must never make the program read a
// local file or speak another protocol.
bool IsFetchableAddress(const QUrl &url);

// The request of a document download, the same for both ways: the referer given, redirects
// followed (never from https down to http, at most ten), the cache never asked.
QNetworkRequest DocumentRequest(const QUrl &url, const QString &referer);

} // namespace harvly
