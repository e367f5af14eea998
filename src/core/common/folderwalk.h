#pragma once

#include <QString>
#include <QStringList>

namespace harvly {

// Appends the subfolders (or the files) of an absolute folder to list, hidden ones included,
// and with recursive those of every subfolder after it, in the order found. Linked folders
// are listed but not entered, so a link loop cannot make the walk endless.
void ListSubfolders(const QString &folder, QStringList &list, bool recursive);
void ListFilesInFolder(const QString &folder, QStringList &list, bool recursive);

} // namespace harvly
