#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace harvly {

// The embedded browser's profile folder of the program named applicationTitle (its "cache"
// and its "storage", where the cookies are).
QString ProgramBrowserFolder(const QString &applicationTitle, const QString &home = QString());
// The embedded browser's cache folder of the program named applicationTitle for the user
// whose home is home ("" : this user): where that program's profile keeps its disk cache.
QString ProgramCacheFolder(const QString &applicationTitle, const QString &home = QString());

struct UserCacheFolder {
    QString user;   // the home folder's name
    QString folder; // that user's cache folder of the program
};

// Every user whose home holds a cache folder of the program and can be read: the homes
// of the password database (or those given), in their order. subfolders receives every
// folder below those cache folders, parents before their children.
QList<UserCacheFolder> FindUserCacheFolders(const QString &applicationTitle,
                                            QStringList *subfolders,
                                            const QStringList &homes = QStringList());

} // namespace harvly
