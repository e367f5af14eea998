#pragma once

#include "downloadengine.h"

#include <QByteArray>
#include <QDateTime>

#include <chrono>
#include <optional>

class QNetworkReply;

namespace harvly {

class DownloadListModel;

// "Too many requests" (429) and "service unavailable" (503) say the site is busy, not that
// the document is missing: the row waits and is tried again later.
bool IsBusyStatus(int status);
constexpr int kBusyAnswersLimit = 5; // the fifth busy answer for a row fails it

// Retry-After as seconds ("120") or an HTTP date; nullopt when absent or unreadable. A date in
// the past gives 0.
std::optional<std::chrono::seconds> RetryAfterOf(const QByteArray &header, const QDateTime &nowUtc);
// Without Retry-After: 30 s after the first busy answer, doubling, at most 10 minutes.
std::chrono::seconds BackOff(int earlierAnswers);

// Marks a row after a busy answer: back to Waiting with the time it may start again (on the
// scheduler's clock, now + the wait) and "Server busy, retry at hh:mm:ss" (wall time), or
// Failed after the limit. Returns Failed or, for a row that waits, Busy.
TransferOutcome MarkServerBusy(DownloadListModel &list, quint64 rowId, const QByteArray &retryAfter,
                               double now, const QDateTime &wallNow);

} // namespace harvly
