#include "folderpicker.h"

#include "filenames.h"
#include "files.h"

#include <QDir>

namespace harvly {

QString BrowseStartFolder(const QString &startPath)
{
    const QString root = QDir::rootPath();
    QString folder = startPath.trimmed().isEmpty() ? root : startPath;
    const qsizetype sep = LastPathSeparator(folder.left(folder.size() - 1));
    if (sep >= 0) {
        folder = folder.left(sep + 1);
    }
    return FolderExists(folder) ? folder : root;
}

QString BrowseResult(const QString &chosen, const QString &startPath)
{
    QString folder = chosen.isEmpty() ? startPath : QDir::toNativeSeparators(chosen);
    if (!folder.isEmpty() && !IsPathSeparator(folder.back())) {
        folder += QDir::separator();
    }
    return folder;
}

} // namespace harvly
