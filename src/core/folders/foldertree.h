#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace harvly {

// "my documents" -> "My Documents": the first letter of each word upper-case, the rest lower.
QString ProperCase(const QString &text);

struct FolderName {
    QString name; // proper-cased, as shown
    QString path; // the folder's real path
    bool hasSubfolders = false;
};

// The subfolders of a folder (hidden ones included), proper-cased and sorted by that text;
// withGrandchildren: whether each has subfolders of its own is found out too. Unreadable
// folders give nothing.
QList<FolderName> ListSubfolderNames(const QString &folder, bool withGrandchildren);

// A mounted volume as the folder tree shows it (the stand-in for a drive letter).
struct Volume {
    enum class Kind { Unknown, Removable, Fixed, Remote, Optical, Ram };
    QString root;  // mount point
    QString label; // the volume's name; "" when it has none
    Kind kind = Kind::Unknown;
};

// The volumes worth showing: real file systems, not the kernel's own (proc, sysfs, ...).
QList<Volume> MountedVolumes();

// Free bytes on the volume that holds path; -1 when it cannot be asked.
qint64 DiskSpaceInBytes(const QString &path);

} // namespace harvly
