#include "foldertree.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace harvly {

QString ProperCase(const QString &text)
{
    QString out = text.toLower();
    bool start = true;
    for (QChar &c : out) {
        if (start && c.isLetter()) {
            c = c.toUpper();
        }
        start = c.isSpace();
    }
    return out;
}

QList<FolderName> ListSubfolderNames(const QString &folder, bool withGrandchildren)
{
    QList<FolderName> names;
    QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        FolderName f{ProperCase(it.fileName()), it.filePath(), false};
        if (withGrandchildren) {
            QDirIterator sub(f.path,
                             QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
            f.hasSubfolders = sub.hasNext();
        }
        names.append(std::move(f));
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(), [&collator](const FolderName &a, const FolderName &b) {
        return collator.compare(a.name, b.name) < 0;
    });
    return names;
}

namespace {

Volume::Kind kindOf(const QStorageInfo &s)
{
    const QByteArray type = s.fileSystemType().toLower();
    if (type == "nfs" || type == "nfs4" || type == "cifs" || type == "smb3" ||
        type.startsWith("fuse.sshfs") || type == "9p") {
        return Volume::Kind::Remote;
    }
    if (type == "iso9660" || type == "udf") {
        return Volume::Kind::Optical;
    }
    if (type == "tmpfs" || type == "ramfs") {
        return Volume::Kind::Ram;
    }
    const QByteArray device = s.device();
    if (device.startsWith("/dev/")) {
        // The kernel marks removable disks; a partition asks its disk.
        QString disk = QString::fromLatin1(device.mid(5));
        for (int i = 0; i < 2 && !disk.isEmpty(); ++i) {
            QFile removable(QStringLiteral("/sys/class/block/%1/removable").arg(disk));
            if (removable.open(QIODevice::ReadOnly)) {
                return removable.readAll().trimmed() == "1" ? Volume::Kind::Removable
                                                            : Volume::Kind::Fixed;
            }
            while (!disk.isEmpty() && disk.back().isDigit()) {
                disk.chop(1);
            }
            if (disk.endsWith(QLatin1Char('p'))) {
                disk.chop(1); // nvme0n1p1 -> nvme0n1
            }
        }
        return Volume::Kind::Fixed;
    }
    return Volume::Kind::Unknown;
}

} // namespace

QList<Volume> MountedVolumes()
{
    static const QList<QByteArray> kernelOwn{
        "proc",   "sysfs",   "devtmpfs",    "devpts",   "cgroup",    "cgroup2",  "securityfs",
        "pstore", "debugfs", "tracefs",     "mqueue",   "hugetlbfs", "configfs", "fusectl",
        "bpf",    "autofs",  "binfmt_misc", "efivarfs", "nsfs"};
    QList<Volume> volumes;
    for (const QStorageInfo &s : QStorageInfo::mountedVolumes()) {
        const QByteArray type = s.fileSystemType().toLower();
        if (!s.isValid() || kernelOwn.contains(type)) {
            continue;
        }
        const QString root = s.rootPath();
        // The system's run-time folders are no place for documents.
        if (root != QLatin1String("/") &&
            (root.startsWith(QLatin1String("/proc")) || root.startsWith(QLatin1String("/sys")) ||
             root.startsWith(QLatin1String("/dev")) || root.startsWith(QLatin1String("/run")))) {
            continue;
        }
        volumes.append({root, s.name(), kindOf(s)});
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const Volume &a, const Volume &b) { return a.root < b.root; });
    return volumes;
}

qint64 DiskSpaceInBytes(const QString &path)
{
    const QStorageInfo s(path);
    return s.isValid() && s.isReady() ? s.bytesAvailable() : -1;
}

} // namespace harvly
