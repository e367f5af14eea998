#pragma once

#include <QStringList>

namespace harvly {

// harvly-cli download: queues addresses as the hand-over does and runs the download window's
// scheduler and engines on them until every row is done. Returns the exit status.
int RunDownloadCommand(const QStringList &args);

} // namespace harvly
