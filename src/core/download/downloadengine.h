#pragma once

#include "common/build.h"
#include "downloadoptions.h"

#include <QObject>

#include <functional>

namespace harvly {

class DownloadListModel;
class SchedulerHost;
class SessionNetwork;

// How a row's transfer ended, as its engine tells the scheduler.
// Busy: the site asked to wait (429, 503); the row is Waiting again with its retry time.
enum class TransferOutcome { Finished, Failed, Skipped, Busy };

// What every engine works with: the list whose rows it writes, the session's network, the
// window, and the scheduler's options, limits and clock as they stand when a row starts.
struct EngineContext {
    DownloadListModel &list;
    SessionNetwork &network;
    SchedulerHost &host;
    Build build;
    const DownloadOptions &options;
    const EngineLimits &limits;
    std::function<double()> now; // seconds, the scheduler's clock
};

// One way of downloading rows. The scheduler hands it Waiting rows that it marked
// Downloading; the engine writes the row's progress and outcome and says when it ended.
class DownloadEngine : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadEngine)

public:
    using QObject::QObject;
    ~DownloadEngine() override = default;

    // Rows it can run at once with the current options, and rows it runs now.
    virtual int capacity() const = 0;
    virtual int running() const = 0;
    virtual void start(quint64 rowId) = 0;
    // Ends a running row at once: Failed, with the reason given.
    virtual void cancel(quint64 rowId, const QString &reason) = 0;
    virtual void cancelAll(const QString &reason) = 0;
    // True when a login that a row's end asks for must end before the next row starts.
    virtual bool waitsForLogin() const = 0;
    // The scheduler's one-second housekeeping tick, for rules of the engine's own.
    virtual void tick() {}

signals:
    void ended(quint64 rowId, harvly::TransferOutcome outcome);
};

} // namespace harvly
