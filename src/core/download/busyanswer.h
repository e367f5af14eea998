#pragma once

#include "common/busysite.h"
#include "downloadengine.h"

#include <QByteArray>
#include <QDateTime>

#include <chrono>
#include <optional>

class QNetworkReply;

namespace harvly {

class DownloadListModel;

// Marks a row after a busy answer: back to Waiting with the time it may start again (on the
// scheduler's clock, now + the wait) and "Server busy, retry at hh:mm:ss" (wall time), or
// Failed after the limit. Returns Failed or, for a row that waits, Busy.
TransferOutcome MarkServerBusy(DownloadListModel &list, quint64 rowId, const QByteArray &retryAfter,
                               double now, const QDateTime &wallNow);

} // namespace harvly
