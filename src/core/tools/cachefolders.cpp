#include "cachefolders.h"

#include "common/folderwalk.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <pwd.h>
#endif

namespace harvly {

namespace {

QStringList passwordHomes()
{
    QStringList homes;
#ifdef Q_OS_UNIX
    setpwent();
    while (const passwd *p = getpwent()) {
        const QString home = QString::fromLocal8Bit(p->pw_dir);
        if (!home.isEmpty() && home != QLatin1String("/") && !homes.contains(home)) {
            homes << home;
        }
    }
    endpwent();
#endif
    return homes;
}

} // namespace

QString ProgramBrowserFolder(const QString &applicationTitle, const QString &home)
{
    // The windows keep their profile in the application's data folder ("Harvly/<title>").
    const QString data = home.isEmpty()
                             ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                             : home + QStringLiteral("/.local/share");
    return data + QStringLiteral("/Harvly/") + applicationTitle + QStringLiteral("/browser");
}

QString ProgramCacheFolder(const QString &applicationTitle, const QString &home)
{
    return ProgramBrowserFolder(applicationTitle, home) + QStringLiteral("/cache");
}

QList<UserCacheFolder> FindUserCacheFolders(const QString &applicationTitle,
                                            QStringList *subfolders, const QStringList &homes)
{
    QList<UserCacheFolder> found;
    if (subfolders) {
        subfolders->clear();
    }
    for (const QString &home : homes.isEmpty() ? passwordHomes() : homes) {
        const QString folder = ProgramCacheFolder(applicationTitle, home);
        const QFileInfo info(folder);
        if (!info.isDir() || !info.isReadable()) {
            continue; // a user without the program's cache, or one this user cannot read
        }
        found.append({QFileInfo(QDir::cleanPath(home)).fileName(), folder});
        if (subfolders) {
            ListSubfolders(folder, *subfolders, true);
        }
    }
    return found;
}

} // namespace harvly
