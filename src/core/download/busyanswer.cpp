#include "busyanswer.h"

#include "downloadlist.h"

#include <QCoreApplication>

namespace harvly {

TransferOutcome MarkServerBusy(DownloadListModel &list, quint64 rowId, const QByteArray &retryAfter,
                               double now, const QDateTime &wallNow)
{
    const DownloadRow *row = list.find(rowId);
    if (!row) {
        return TransferOutcome::Failed;
    }
    const int earlier = row->busyAnswers;
    if (earlier + 1 >= kBusyAnswersLimit) {
        list.update(rowId, [](DownloadRow &r) {
            ++r.busyAnswers;
            r.state = DownloadState::Failed;
            r.note = RowNote::DownloadFailed;
            r.reason = QCoreApplication::translate("harvly::FailureReason",
                                                   "server busy: five answers to wait");
        });
        return TransferOutcome::Failed;
    }
    const std::chrono::seconds wait =
        RetryAfterOf(retryAfter, wallNow.toUTC()).value_or(BackOff(earlier));
    const QString at =
        wallNow.addSecs(wait.count()).toLocalTime().toString(QStringLiteral("HH:mm:ss"));
    list.update(rowId, [&](DownloadRow &r) {
        r.clearProgress();
        ++r.busyAnswers;
        r.state = DownloadState::Waiting;
        r.retryAt = now + double(wait.count());
        r.note = RowNote::ServerBusy;
        r.reason = QCoreApplication::translate("harvly::FailureReason", "Server busy, retry at %1")
                       .arg(at);
    });
    return TransferOutcome::Busy;
}

} // namespace harvly
