#include "files.h"

#include "filenames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <filesystem>
#include <system_error>
#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace harvly {

bool FileExists(const QString &path)
{
    const QFileInfo fi(path);
    return !path.isEmpty() && fi.exists() && !fi.isDir();
}

bool FolderExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

namespace {

// Names that a running transfer of this process is writing; they count as taken although
// nothing is on disk under them yet.
QSet<QString> &reservedPaths()
{
    static QSet<QString> paths;
    return paths;
}

QString reservationKey(const QString &path)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
#ifdef Q_OS_WIN
    return clean.toLower();
#else
    return clean;
#endif
}

} // namespace

bool PathTaken(const QString &path)
{
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo fi(path);
    return fi.exists() || fi.isSymLink() || IsPathReserved(path);
}

bool ReservePath(const QString &path)
{
    if (path.isEmpty()) {
        return false;
    }
    const QString key = reservationKey(path);
    if (reservedPaths().contains(key)) {
        return false;
    }
    reservedPaths().insert(key);
    return true;
}

void ReleasePath(const QString &path)
{
    if (!path.isEmpty()) {
        reservedPaths().remove(reservationKey(path));
    }
}

bool IsPathReserved(const QString &path)
{
    return !reservedPaths().isEmpty() && reservedPaths().contains(reservationKey(path));
}

QString CreateFolderPath(const QString &path, const Build &build, QString *message)
{
    const auto fail = [message] {
        if (message) {
            *message = QCoreApplication::translate(
                "harvly", "The folder name is err,Can not Credte New Folder!");
        }
    };
    QStringList parts;
    QString current;
    for (const QChar c : path) {
        if (IsPathSeparator(c)) {
            parts << current;
            current.clear();
        } else {
            current += c;
        }
    }
    parts << current;

    const QString sep = QDir::separator();
    QString built;
    qsizetype next = 1;
#ifdef Q_OS_WIN
    if (path.startsWith(QLatin1String("\\\\")) || path.startsWith(QLatin1String("//"))) {
        if (parts.size() < 3 || parts.at(2).isEmpty()) {
            fail();
            return {};
        }
        built = sep + sep + parts.at(2);
        next = 3;
    } else {
        built = parts.at(0);
    }
#else
    built = parts.at(0); // "" for an absolute path: the walk then starts below "/"
#endif
    for (; next < parts.size(); ++next) {
        const QString &element = parts.at(next);
        if (element.isEmpty()) {
            break;
        }
        const QString clean = CleanFileNameText(element, build);
        if (clean.isEmpty()) {
            fail();
            break;
        }
        built += sep + clean;
        if (!FolderExists(built)) {
            QDir().mkdir(built);
        }
    }
    if (built.isEmpty() && path.startsWith(sep)) {
        built = sep;
    }
    if (built.isEmpty() || !FolderExists(built)) {
        return {};
    }
    return built;
}

QString GetUniqueFileName(const QString &path)
{
    const qsizetype sep = LastPathSeparator(path);
    if (!PathTaken(path) || sep < 0) {
        return path;
    }
    const QString folder = path.left(sep + 1);
    const QString name = path.mid(sep + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    QString base = dot < 0 ? name : name.left(dot);
    const QString ext = dot < 0 ? QString() : name.mid(dot + 1);
    if (base.size() > 100) {
        base = base.left(100);
        if (base.back().isHighSurrogate()) {
            base.chop(1);
        }
    }
    QString numberless;
    if (!SplitBracketNumber(base, &numberless).isEmpty()) {
        base = numberless;
    }
    const QString suffix = ext.isEmpty() ? QString() : QLatin1Char('.') + ext;
    QString candidate = folder + base + suffix;
    for (qint64 i = 1; PathTaken(candidate); ++i) {
        const QString counter = QLatin1Char('[') +
                                QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')) +
                                QLatin1Char(']');
        candidate = folder + FitFileName(base, counter + suffix) + counter + suffix;
    }
    return candidate;
}

QString GetShortFileName(const QString &path)
{
    return path;
}

bool OpenPartFile(QFile &file, const QString &folder, QIODevice::OpenMode extra)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        file.setFileName(folder + QStringLiteral(".harvly-%1.part").arg(GetRandomString(8)));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | extra)) {
            return true;
        }
        if (!file.exists()) {
            return false; // not a name taken by chance: no other name will do better
        }
    }
    return false;
}

FileMove MoveIntoPlace(const QString &from, const QString &to, bool replace)
{
    const std::filesystem::path source(from.toStdU16String());
    const std::filesystem::path destination(to.toStdU16String());
    std::error_code error;
    if (replace) {
        std::filesystem::rename(source, destination, error);
        if (error) {
            errno = error.value(); // for the reason shown
            return FileMove::Failed;
        }
        return FileMove::Done;
    }
#ifdef Q_OS_LINUX
    const QByteArray a = QFile::encodeName(from);
    const QByteArray b = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0) {
        return FileMove::Done;
    }
    if (errno == EEXIST) {
        return FileMove::Taken;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return FileMove::Failed;
    }
    // A file system without the no-replace rename: a hard link fails on a taken name too.
    if (::link(a.constData(), b.constData()) == 0) {
        ::unlink(a.constData());
        return FileMove::Done;
    }
    return errno == EEXIST ? FileMove::Taken : FileMove::Failed;
#else
    if (PathTaken(to)) {
        return FileMove::Taken;
    }
    return QFile::rename(from, to) ? FileMove::Done : FileMove::Failed;
#endif
}

bool OpenFileOrStandardInput(QFile &file, const QString &path)
{
    if (path == QLatin1String("-")) {
        return file.open(stdin, QIODevice::ReadOnly);
    }
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly);
}

} // namespace harvly
