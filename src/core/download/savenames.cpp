#include "savenames.h"

#include "common/filenames.h"
#include "common/files.h"

#include <QDir>

namespace harvly {

QString RenameSavePath(const QString &savePath, const QString &pureFileName,
                       const QString &fileType, DuplicateMode mode, QString *newName)
{
    QString folder = savePath;
    if (folder.isEmpty() || !IsPathSeparator(folder.back())) {
        folder += QDir::separator();
    }
    // A row without a type yet is written without a bare ".", so that the check of its
    // content afterwards finds the file and gives it its extension.
    const QString extension = fileType.isEmpty() ? QString() : QLatin1Char('.') + fileType;
    QString name = FitFileName(pureFileName, extension);
    QString path = folder + name + extension;
    if (newName) {
        *newName = name;
    }
    // "Cover" replaces a file on disk, never one that another transfer is still writing.
    if (!PathTaken(path) || (mode == DuplicateMode::Cover && !IsPathReserved(path))) {
        return path;
    }

    QString base = pureFileName;
    qint64 counter = 0;
    const qsizetype open = base.lastIndexOf(QLatin1Char('['));
    const qsizetype close = base.lastIndexOf(QLatin1Char(']'));
    if (open >= 0 && close > open) {
        const QString number = base.mid(open + 1, close - open - 1).trimmed();
        if (IsCounterText(number)) {
            counter = number.toLongLong();
            base.truncate(open);
        }
    }
    base.replace(QLatin1Char('['), QStringLiteral("『"))
        .replace(QLatin1Char(']'), QStringLiteral("』"));

    const auto candidate = [&] {
        const QString count =
            counter == 0 ? QString() : QStringLiteral("[%1]").arg(counter, 3, 10, QLatin1Char('0'));
        name = FitFileName(base, count + extension) + count;
        return folder + name + extension;
    };
    path = candidate();
    while (PathTaken(path)) {
        ++counter;
        path = candidate();
    }
    if (newName) {
        *newName = name;
    }
    return path;
}

} // namespace harvly
