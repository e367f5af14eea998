#pragma once

#include <QDateTime>

#include <chrono>

namespace harvly {

class DownloadListModel;

// The pause before attempt `retry` (from 1) of a row that failed for a passing reason: 1 s,
// doubling, at most a minute.
std::chrono::seconds RetryPause(int retry);

// A row that just failed for a passing reason (FailureReason::isTransient) and has retries
// left goes back to Waiting: it starts again at now + the pause (on the scheduler's clock),
// continuing what its transfer kept, and shows why and when ("connection reset; retry 2 of
// 5 at 14:02:31"). True when it was sent back; a row out of retries keeps its failure.
bool RetryTransientFailure(DownloadListModel &list, quint64 rowId, int retries, double now,
                           const QDateTime &wallNow);

} // namespace harvly
