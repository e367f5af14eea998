#pragma once

#include <QString>

class QWidget;

namespace harvly {

// Opens an address or a file the way the desktop does; an executable file is started.
// True when the desktop accepted it.
bool OpenUrlInShell(const QString &url, bool useBrowserWindow);
// Opens an existing file in its associated program; tells the user when it is missing.
void OpenFileWithAssociatedProgram(const QString &path, QWidget *owner);
// Opens a file or address in the desktop's web browser (the associated program when no
// browser is known). True when one started.
bool OpenInWebBrowser(const QString &pathOrUrl);
// Shows the file selected in the desktop's file manager (its folder when that cannot be).
bool SelectFileInFolder(const QString &path);

} // namespace harvly
