#pragma once

#include <QStringList>

namespace harvly {

// harvly-cli cache list|export: the embedded browser's cache for scripts. Returns the exit
// status.
int RunCacheCommand(const QStringList &args);

} // namespace harvly
