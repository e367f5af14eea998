#include "latestversion.h"

#include <QStringList>

namespace harvly {

std::optional<qint64> ComposedVersion(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 3) {
        return std::nullopt;
    }
    qint64 composed = 0;
    const qint64 weights[] = {10000000, 10000, 1};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const qint64 n = parts.at(i).trimmed().toLongLong(&ok);
        if (!ok || n < 0) {
            return std::nullopt;
        }
        composed += n * weights[i];
    }
    return composed;
}

LatestVersion CompareLatestVersion(const QString &reply, const Build &build)
{
    LatestVersion v;
    v.text = reply.trimmed();
    v.taken = !v.text.isEmpty() && v.text.size() <= build.longestVersionReply;
    if (!v.taken) {
        return v;
    }
    const std::optional<qint64> published = ComposedVersion(v.text);
    const qint64 running = qint64(build.versionMajor) * 10000000 +
                           qint64(build.versionMinor) * 10000 + build.versionRevision;
    v.newer = published && *published > running;
    return v;
}

namespace {

QString onServer(const QString &server, const char *path)
{
    QString root = server.trimmed();
    while (root.endsWith(QLatin1Char('/'))) {
        root.chop(1);
    }
    return root.isEmpty() ? QString() : root + QLatin1String(path);
}

} // namespace

QString LatestVersionAddress(const QString &server)
{
    return onServer(server, "/Harvly/newver.txt");
}

QString ProductPageAddress(const QString &server)
{
    return onServer(server, "/Harvly/");
}

} // namespace harvly
