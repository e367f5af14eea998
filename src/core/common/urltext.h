#pragma once

#include <QByteArray>
#include <QCoro/QCoroTask>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;

namespace harvly {

// Bytes in the named character set as text; "" when the set is unknown. An empty name
// means UTF-8, unless a byte-order mark says otherwise.
QString BytesToText(const QByteArray &bytes, const QString &charset);

// The page at url as text, fetched through the program's one network manager (its cookies
// and user agent are the browser's). Whatever the server answered counts, error pages too;
// "" when no answer came.
QCoro::Task<QString> GetUrlText(QNetworkAccessManager *network, QUrl url, QString charset);

} // namespace harvly
