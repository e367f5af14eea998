#include "cookiesfile.h"

#include "common/files.h"

#include <QFile>
#include <QSaveFile>

namespace harvly {

CookiesFileRead ReadCookiesFile(const QString &path, const QDateTime &now)
{
    CookiesFileRead read;
    QFile f(path);
    read.opened = OpenFileOrStandardInput(f, path);
    if (!read.opened) {
        read.error = f.errorString();
        return read;
    }
    int number = 0;
    for (QByteArray line : f.readAll().split('\n')) {
        ++number;
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        bool httpOnly = false;
        if (line.startsWith("#HttpOnly_")) {
            httpOnly = true;
            line = line.mid(10);
        } else if (line.trimmed().isEmpty() || line.startsWith('#')) {
            continue;
        }
        const QList<QByteArray> fields = line.split('\t');
        bool numeric = false;
        const qint64 expiry = fields.value(4).trimmed().toLongLong(&numeric);
        if (fields.size() != 7 || fields.at(0).isEmpty() || fields.at(5).isEmpty() || !numeric ||
            (fields.at(1) != "TRUE" && fields.at(1) != "FALSE") ||
            (fields.at(3) != "TRUE" && fields.at(3) != "FALSE")) {
            read.warnings
                << QStringLiteral("line %1: not a cookie (seven fields apart by tabs)").arg(number);
            continue;
        }
        if (expiry > 0 && QDateTime::fromSecsSinceEpoch(expiry, Qt::UTC) <= now) {
            ++read.expired;
            continue;
        }
        QNetworkCookie cookie(fields.at(5), fields.at(6));
        QString domain = QString::fromUtf8(fields.at(0));
        if (fields.at(1) == "TRUE" && !domain.startsWith(QLatin1Char('.'))) {
            domain.prepend(QLatin1Char('.'));
        } else if (fields.at(1) == "FALSE" && domain.startsWith(QLatin1Char('.'))) {
            domain.remove(0, 1);
        }
        cookie.setDomain(domain);
        cookie.setPath(QString::fromUtf8(fields.at(2)));
        cookie.setSecure(fields.at(3) == "TRUE");
        cookie.setHttpOnly(httpOnly);
        if (expiry > 0) {
            cookie.setExpirationDate(QDateTime::fromSecsSinceEpoch(expiry, Qt::UTC));
        }
        read.cookies << cookie;
    }
    return read;
}

QByteArray CookiesFileText(const QList<QNetworkCookie> &cookies)
{
    QByteArray text = "# Netscape HTTP Cookie File\n# Written by Harvly. Keep it private: it "
                      "holds your sessions.\n\n";
    for (const QNetworkCookie &c : cookies) {
        const QByteArray domain = c.domain().toUtf8();
        if (domain.isEmpty() || c.name().isEmpty()) {
            continue; // a cookie no site would be sent
        }
        text +=
            (c.isHttpOnly() ? "#HttpOnly_" : "") + domain + '\t' +
            (domain.startsWith('.') ? "TRUE" : "FALSE") + '\t' +
            (c.path().isEmpty() ? QByteArray("/") : c.path().toUtf8()) + '\t' +
            (c.isSecure() ? "TRUE" : "FALSE") + '\t' +
            QByteArray::number(c.isSessionCookie() ? 0 : c.expirationDate().toSecsSinceEpoch()) +
            '\t' + c.name() + '\t' + c.value() + '\n';
    }
    return text;
}

bool WriteCookiesFile(const QString &path, const QList<QNetworkCookie> &cookies, QString *error)
{
    const QByteArray text = CookiesFileText(cookies);
    QSaveFile out(path);
    // Readable by the user alone from its first byte on.
    if (!out.open(QIODevice::WriteOnly) ||
        !out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        out.write(text) != text.size() || !out.commit()) {
        *error = out.errorString();
        return false;
    }
    return true;
}

} // namespace harvly
