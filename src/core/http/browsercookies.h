#pragma once

#include <QDateTime>
#include <QList>
#include <QNetworkCookie>
#include <QString>

namespace harvly {

// The cookie store of an embedded browser profile: the "Cookies" database that the browser
// keeps in the profile's storage folder. Read straight from the file because the browser's
// own "load all cookies" call answers nothing for the cookies of an earlier run.
struct BrowserCookiesRead {
    QList<QNetworkCookie> cookies; // host-only ones without a leading "." on the domain
    int expired = 0;               // left out: their time had passed
    int unreadable = 0;            // left out: the browser stored them encrypted
    bool opened = false;
    QString error; // why the store could not be read
};
BrowserCookiesRead ReadBrowserCookies(const QString &database,
                                      const QDateTime &now = QDateTime::currentDateTimeUtc());

// Where a profile whose storage folder is storageFolder keeps its cookies.
QString BrowserCookiesDatabase(const QString &storageFolder);

} // namespace harvly
