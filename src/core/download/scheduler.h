#pragma once

#include "common/build.h"
#include "downloadengine.h"
#include "downloadoptions.h"

#include <QHash>
#include <QObject>

#include <functional>
#include <memory>

namespace harvly {

class DownloadListModel;
class SchedulerHost;
class SessionNetwork;

// Decides when and which rows of the download list are downloaded, and by which way. It knows
// the ways only as engines. Its two ticks are public: the window drives them with one-second
// timers, tests call them directly; "now" comes from the clock given.
class DownloadScheduler final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadScheduler)

public:
    using Clock = std::function<double()>; // seconds, monotonic

    // With the two engines of the program.
    DownloadScheduler(DownloadListModel &list, SessionNetwork &network, SchedulerHost &host,
                      const Build &build, QObject *parent = nullptr);
    // With engines of the caller's (tests give stub engines); way 1 uses the first.
    using EngineFactory = std::function<std::unique_ptr<DownloadEngine>(const EngineContext &)>;
    DownloadScheduler(DownloadListModel &list, SessionNetwork &network, SchedulerHost &host,
                      const Build &build, const EngineFactory &way1, const EngineFactory &way2,
                      QObject *parent = nullptr);
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
    // The current way is at work on a row (or waits for the login that ended one).
    bool InetBusy() const;
    // A row of either way is still under way (also one winding down after a stop).
    bool transferring() const;
    double LastDownloadEndTime = 0;

    // The skip rule: false when the row's file exists and "Skip" is chosen (the row is then
    // finished as skipped).
    bool IsWantToDownload(quint64 rowId);

signals:
    // A row's download ended (finished, failed or skipped), its end step included.
    void rowEnded(quint64 rowId);

private:
    EngineContext context();
    DownloadEngine &engine() const;
    void setTimerDown(bool enabled);
    quint64 takeNextRow();
    bool hostIsBusy(const QString &key) const;
    void engineEnded(DownloadEngine *engine, quint64 rowId);
    bool endOfDownload(quint64 rowId);

    DownloadListModel &m_list;
    SessionNetwork &m_network;
    SchedulerHost &m_host;
    Build m_build;
    Clock m_clock;
    bool m_timerDown = false;
    bool m_loginHold = false; // a login that a row's end asked for holds the next start
    std::unique_ptr<DownloadEngine> m_engines[2];
    QHash<QString, double> m_busyHosts; // host -> on the clock, when it may be asked again
};

} // namespace harvly
