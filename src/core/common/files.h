#pragma once

#include "build.h"

#include <QFile>
#include <QString>

namespace harvly {

bool FileExists(const QString &path);
bool FolderExists(const QString &path);
// True when anything (file, folder, link) already holds the name, or a transfer of this
// program has reserved it.
bool PathTaken(const QString &path);

// A transfer reserves its target name while it writes elsewhere, so that no other transfer
// picks the same name. False when the name is reserved already.
bool ReservePath(const QString &path);
void ReleasePath(const QString &path);
bool IsPathReserved(const QString &path);

// Creates every missing level and returns the folder without its trailing separator, or ""
// when it could not be made. A bad element sets *message to the text to show the user.
QString CreateFolderPath(const QString &path, const Build &build, QString *message = nullptr);

// The path itself when it is free, else the first free "base[0001].ext", "base[0002].ext", ...
QString GetUniqueFileName(const QString &path);

// Opens a new hidden file ".harvly-XXXXXXXX.part" for writing in folder (which ends with a
// separator), with the usual permissions; false when none could be made (file then tells why).
bool OpenPartFile(QFile &file, const QString &folder, QIODevice::OpenMode extra = {});

enum class FileMove { Done, Taken, Failed };
// Renames a file (within one file system). Without replace, a name that is taken stays as it
// is, also when it was taken a moment ago by another program (Taken); Failed sets errno.
FileMove MoveIntoPlace(const QString &from, const QString &to, bool replace);

// Windows 8.3 names have no counterpart here: the path is already usable as it is.
QString GetShortFileName(const QString &path);

// Opens path for reading, or standard input for "-" (as command-line tools read a list).
bool OpenFileOrStandardInput(QFile &file, const QString &path);

} // namespace harvly
