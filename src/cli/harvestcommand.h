#pragma once

#include <QStringList>

namespace harvly {

// harvly-cli harvest [--with-htm] [--static] PAGE: the rows "Add this page to list" would add
// to an empty list, one per line. Returns the exit status.
int RunHarvestCommand(const QStringList &args);
// Whether the command needs the browser (and so a GUI application object).
bool HarvestNeedsBrowser(const QStringList &args);

} // namespace harvly
