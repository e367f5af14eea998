#include "busysite.h"

#include <QLocale>

namespace harvly {

bool IsBusyStatus(int status)
{
    return status == 429 || status == 503;
}

std::optional<std::chrono::seconds> RetryAfterOf(const QByteArray &header, const QDateTime &nowUtc)
{
    const QByteArray value = header.trimmed();
    if (value.isEmpty()) {
        return std::nullopt;
    }
    bool ok = false;
    const qint64 seconds = value.toLongLong(&ok);
    if (ok) {
        return seconds < 0 ? std::nullopt : std::optional(std::chrono::seconds(seconds));
    }
    // An HTTP date: "Wed, 09 Dec 2026 14:02:30 GMT".
    QDateTime at = QLocale::c().toDateTime(QString::fromLatin1(value),
                                           QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
    if (!at.isValid()) {
        return std::nullopt;
    }
    at.setTimeSpec(Qt::UTC);
    return std::chrono::seconds(qMax<qint64>(0, nowUtc.secsTo(at)));
}

std::chrono::seconds BackOff(int earlierAnswers)
{
    qint64 wait = 30;
    for (int i = 0; i < earlierAnswers && wait < 600; ++i) {
        wait *= 2;
    }
    return std::chrono::seconds(qMin<qint64>(wait, 600));
}

} // namespace harvly
