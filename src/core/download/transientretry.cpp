#include "transientretry.h"

#include "downloadlist.h"
#include "failurereason.h"

#include <QCoreApplication>

#include <algorithm>

namespace harvly {

std::chrono::seconds RetryPause(int retry)
{
    return std::chrono::seconds(std::min(60, 1 << std::clamp(retry - 1, 0, 6)));
}

bool RetryTransientFailure(DownloadListModel &list, quint64 rowId, int retries, double now,
                           const QDateTime &wallNow)
{
    const DownloadRow *row = list.find(rowId);
    if (!row || row->state != DownloadState::Failed || row->retries >= retries ||
        !FailureReason::isTransient(row->reason)) {
        return false;
    }
    const int retry = row->retries + 1;
    const std::chrono::seconds pause = RetryPause(retry);
    const QString at =
        wallNow.addSecs(pause.count()).toLocalTime().toString(QStringLiteral("HH:mm:ss"));
    const QString why = row->reason;
    list.update(rowId, [&](DownloadRow &r) {
        r.clearProgress();
        r.retries = retry;
        r.state = DownloadState::Waiting;
        r.retryAt = now + double(pause.count());
        r.note = RowNote::Retrying;
        r.reason = QCoreApplication::translate("harvly::FailureReason", "%1; retry %2 of %3 at %4")
                       .arg(why)
                       .arg(retry)
                       .arg(retries)
                       .arg(at);
    });
    return true;
}

} // namespace harvly
