#include "folderwalk.h"

#include <QDir>
#include <QFileInfo>

namespace harvly {

namespace {

bool isAbsoluteFolder(const QString &folder)
{
#ifdef Q_OS_WIN
    return folder.startsWith(QLatin1String("\\\\")) ||
           (folder.size() > 1 && folder.at(1) == QLatin1Char(':'));
#else
    return folder.startsWith(QLatin1Char('/'));
#endif
}

void walk(const QString &folder, QStringList &list, bool recursive, bool wantFolders)
{
    if (!isAbsoluteFolder(folder)) {
        return;
    }
    QString base = folder;
    const QString sep = QDir::separator();
    if (!base.endsWith(sep) && !base.endsWith(QLatin1Char('/'))) {
        base += sep;
    }
    const QDir dir(base);
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    QStringList subfolders;
    for (const QFileInfo &fi : entries) {
        const QString name = fi.fileName();
        if (name.compare(QLatin1String("pagefile.sys"), Qt::CaseInsensitive) == 0) {
            continue;
        }
#ifdef Q_OS_WIN
        if (base.size() == 3 && name.compare(QLatin1String("RECYCLER"), Qt::CaseInsensitive) == 0) {
            continue;
        }
#endif
        const bool isFolder = fi.isDir();
        if (isFolder == wantFolders) {
            list.append(base + name);
        }
        if (isFolder && !fi.isSymLink()) {
            subfolders.append(base + name);
        }
    }
    if (recursive) {
        for (const QString &sub : subfolders) {
            walk(sub, list, true, wantFolders);
        }
    }
}

} // namespace

void ListSubfolders(const QString &folder, QStringList &list, bool recursive)
{
    walk(folder, list, recursive, true);
}

void ListFilesInFolder(const QString &folder, QStringList &list, bool recursive)
{
    walk(folder, list, recursive, false);
}

} // namespace harvly
