#pragma once

#include <QDateTime>
#include <QList>
#include <QNetworkCookie>
#include <QString>
#include <QStringList>

namespace harvly {

// A Netscape cookies.txt, as curl -b/-c, wget --load-cookies and aria2c --load-cookies read
// and write it: a line per cookie, seven fields apart by tabs (domain, "TRUE" when the
// subdomains share it, path, "TRUE" when only over https, expiry in seconds since 1970 or 0
// for a session cookie, name, value); "#HttpOnly_" before the domain marks an HttpOnly
// cookie; other lines beginning with "#", and blank lines, are comments.
struct CookiesFileRead {
    QList<QNetworkCookie> cookies; // the domain begins with "." when subdomains share it
    QStringList warnings;          // "line N: ..." for each line that is no cookie
    int expired = 0;               // cookies left out because their time had passed
    bool opened = false;
    QString error; // why the file could not be read
};
CookiesFileRead ReadCookiesFile(const QString &path,
                                const QDateTime &now = QDateTime::currentDateTimeUtc());

// The cookies in that shape.
QByteArray CookiesFileText(const QList<QNetworkCookie> &cookies);
// Writes the cookies in that shape, readable by the user alone (mode 0600): they are the
// keys of the user's logged-in sessions. False, with the error, when it cannot be written.
bool WriteCookiesFile(const QString &path, const QList<QNetworkCookie> &cookies, QString *error);

} // namespace harvly
