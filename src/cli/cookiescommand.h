#pragma once

#include <QStringList>

namespace harvly {

// harvly-cli cookies export|import: the windows' browser cookie store as a Netscape
// cookies.txt, out to a file or standard output, or in from one. Returns the exit status.
int RunCookiesCommand(const QStringList &args);
// import needs the browser (and so a GUI application object); export reads the store's file.
bool CookiesNeedsBrowser(const QStringList &args);

} // namespace harvly
