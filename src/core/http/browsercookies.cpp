#include "browsercookies.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <memory>

namespace harvly {

namespace {

// The browser counts time in microseconds since 1601-01-01 UTC.
constexpr qint64 kSecondsFrom1601To1970 = 11644473600;

QDateTime fromBrowserTime(qint64 microseconds)
{
    return QDateTime::fromSecsSinceEpoch(microseconds / 1000000 - kSecondsFrom1601To1970, Qt::UTC);
}

QByteArray column(sqlite3_stmt *row, int i)
{
    return QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(row, i)),
                      sqlite3_column_bytes(row, i));
}

struct CloseDatabase {
    void operator()(sqlite3 *db) const { sqlite3_close(db); }
};
struct FinishStatement {
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};

} // namespace

QString BrowserCookiesDatabase(const QString &storageFolder)
{
    return storageFolder + QStringLiteral("/Cookies");
}

BrowserCookiesRead ReadBrowserCookies(const QString &database, const QDateTime &now)
{
    BrowserCookiesRead read;
    if (!QFileInfo(database).isFile()) {
        read.error = QStringLiteral("no cookie store at %1").arg(database);
        return read;
    }
    sqlite3 *opened = nullptr;
    const int openCode = sqlite3_open_v2(QFile::encodeName(database).constData(), &opened,
                                         SQLITE_OPEN_READONLY, nullptr);
    const std::unique_ptr<sqlite3, CloseDatabase> db(opened);
    sqlite3_stmt *prepared = nullptr;
    if (openCode != SQLITE_OK ||
        sqlite3_prepare_v2(db.get(),
                           "SELECT host_key, name, value, length(encrypted_value), path, "
                           "expires_utc, has_expires, is_secure, is_httponly FROM cookies",
                           -1, &prepared, nullptr) != SQLITE_OK) {
        read.error = QString::fromUtf8(db ? sqlite3_errmsg(db.get()) : "cannot open");
        return read;
    }
    const std::unique_ptr<sqlite3_stmt, FinishStatement> statement(prepared);
    int code;
    while ((code = sqlite3_step(statement.get())) == SQLITE_ROW) {
        sqlite3_stmt *row = statement.get();
        const QByteArray value = column(row, 2);
        if (value.isEmpty() && sqlite3_column_int64(row, 3) > 0) {
            ++read.unreadable;
            continue;
        }
        QNetworkCookie cookie(column(row, 1), value);
        cookie.setDomain(QString::fromUtf8(column(row, 0)));
        cookie.setPath(QString::fromUtf8(column(row, 4)));
        cookie.setSecure(sqlite3_column_int(row, 7) != 0);
        cookie.setHttpOnly(sqlite3_column_int(row, 8) != 0);
        if (sqlite3_column_int(row, 6) != 0) {
            const QDateTime expires = fromBrowserTime(sqlite3_column_int64(row, 5));
            if (expires <= now) {
                ++read.expired;
                continue;
            }
            cookie.setExpirationDate(expires);
        }
        read.cookies << cookie;
    }
    if (code != SQLITE_DONE) {
        read.error = QString::fromUtf8(sqlite3_errmsg(db.get()));
        return read;
    }
    read.opened = true;
    return read;
}

} // namespace harvly
