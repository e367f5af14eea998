#pragma once

#include "common/build.h"
#include "downloadoptions.h"

#include <QCoro/QCoroTask>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>

namespace harvly {

class Downloader;
class DownloadListModel;
class SchedulerHost;
class SessionNetwork;
class TransferFile;

// Decides when and which rows of the download list are downloaded, by which way and how
// many at once. Its two ticks are public: the window drives them with one-second timers,
// tests call them directly; "now" comes from the clock given.
class DownloadScheduler final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadScheduler)

public:
    using Clock = std::function<double()>; // seconds, monotonic

    DownloadScheduler(DownloadListModel &list, SessionNetwork &network, SchedulerHost &host,
                      const Build &build, QObject *parent = nullptr);
    ~DownloadScheduler() override;

    DownloadOptions options;
    EngineLimits limits;
    void setClock(Clock clock) { m_clock = std::move(clock); }
    double now() const { return m_clock(); }

    void Timer_Down_Timer();
    void Timer1_Timer();
    void menuStartDownload();
    void menuStopDownload();
    void Command26_Click(); // switches the way
    bool timerDownEnabled() const { return m_timerDown; }
    bool InetBusy() const { return m_inetBusy; }
    int runningSlots() const;
    // A transfer of either way is still under way (also one that is winding down after a stop).
    bool transferring() const { return m_inetRunning || runningSlots() > 0; }
    double LastDownloadEndTime = 0;

    // The skip rule: false when the row's file exists and "Skip" is chosen (the row is then
    // finished as skipped).
    bool IsWantToDownload(quint64 rowId);

    // The single-request way: one row, start to end.
    QCoro::Task<> InetDownloadThisFile(quint64 rowId);
    // The parallel way: starts slot k on a row and returns at once.
    void MultiThreadedDownload(int slot, quint64 rowId, const QString &address,
                               std::unique_ptr<TransferFile> file);

signals:
    // A row's download ended (finished or failed); for the command line's timing.
    void rowEnded(quint64 rowId);

private:
    void setTimerDown(bool enabled);
    quint64 takeNextRow(bool createFolders);
    QCoro::Task<bool> InetDownloadFile(quint64 rowId);
    // The end step of a row, both ways: status, sounds, the end time. True when a login
    // should follow (a page came instead of the document and Auto Login is on).
    bool endOfDownload(quint64 rowId);
    // The end of a parallel row: its login starts without being waited for.
    void endOfSlot(quint64 rowId);
    void markSkipped(quint64 rowId, const QString &existing);
    void slotProgress(int slot, qint64 read, qint64 expected);
    void slotError(int slot);
    void slotComplete(int slot);
    QNetworkAccessManager *networkFor(bool proxied, QString *error);
    QString text(const char *english, const char *chinese) const;

    DownloadListModel &m_list;
    SessionNetwork &m_network;
    SchedulerHost &m_host;
    Build m_build;
    Clock m_clock;
    bool m_timerDown = false;
    bool m_inetBusy = false;
    bool m_inetRunning = false; // the single-request transfer is executing
    std::unique_ptr<QNetworkAccessManager> m_proxyNetwork;
    struct Slot {
        std::unique_ptr<Downloader> downloader;
        quint64 rowId = 0;
        double startTime = 0;
    };
    std::array<Slot, 7> m_slots; // 1..6; 0 is never used
};

} // namespace harvly
