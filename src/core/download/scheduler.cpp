#include "scheduler.h"

#include "common/filenames.h"
#include "common/files.h"
#include "correction.h"
#include "downloadlist.h"
#include "earlierfile.h"
#include "failurereason.h"
#include "listcommands.h"
#include "parallelengine.h"
#include "schedulerhost.h"
#include "singlerequestengine.h"
#include "transientretry.h"

#include <QCoro/QCoroTask>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QUrl>

namespace harvly {

DownloadScheduler::DownloadScheduler(DownloadListModel &list, SessionNetwork &network,
                                     SchedulerHost &host, const Build &build, QObject *parent)
    : DownloadScheduler(
          list, network, host, build,
          [](const EngineContext &c) { return std::make_unique<SingleRequestEngine>(c); },
          [](const EngineContext &c) { return std::make_unique<ParallelEngine>(c); }, parent)
{
}

DownloadScheduler::DownloadScheduler(DownloadListModel &list, SessionNetwork &network,
                                     SchedulerHost &host, const Build &build,
                                     const EngineFactory &way1, const EngineFactory &way2,
                                     QObject *parent)
    : QObject(parent), m_list(list), m_network(network), m_host(host), m_build(build)
{
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    m_clock = [started] { return started->elapsed() / 1000.0; };
    LastDownloadEndTime = now();
    m_engines[0] = way1(context());
    m_engines[1] = way2(context());
    for (const auto &e : m_engines) {
        DownloadEngine *engine = e.get();
        connect(engine, &DownloadEngine::ended, this,
                [this, engine](quint64 rowId) { engineEnded(engine, rowId); });
    }
}

DownloadScheduler::~DownloadScheduler() = default;

EngineContext DownloadScheduler::context()
{
    // The engines read the options and limits as they stand when a row starts.
    return EngineContext{
        m_list, m_network, m_host, m_build, options, limits, [this] { return now(); }};
}

DownloadEngine &DownloadScheduler::engine() const
{
    return *m_engines[options.way == DownloadWay::Parallel ? 1 : 0];
}

void DownloadScheduler::setTimerDown(bool enabled)
{
    if (m_timerDown != enabled) {
        m_timerDown = enabled;
        m_host.timerDownChanged(enabled);
    }
}

bool DownloadScheduler::InetBusy() const
{
    return engine().running() > 0 || (m_loginHold && engine().waitsForLogin());
}

bool DownloadScheduler::transferring() const
{
    return m_engines[0]->running() > 0 || m_engines[1]->running() > 0 || m_loginHold;
}

void DownloadScheduler::menuStartDownload()
{
    setTimerDown(true);
}

void DownloadScheduler::menuStopDownload()
{
    options.autoStart = false;
    options.autoReDownload = false;
    setTimerDown(false);
    for (const auto &e : m_engines) {
        e->cancelAll(FailureReason::stopped());
    }
}

void DownloadScheduler::Command26_Click()
{
    options.way =
        options.way == DownloadWay::Parallel ? DownloadWay::Single : DownloadWay::Parallel;
    options.threads = 1;
}

bool DownloadScheduler::IsWantToDownload(quint64 rowId)
{
    const DownloadRow *row = m_list.find(rowId);
    if (!row) {
        return false;
    }
    QString folder = row->savePath;
    if (folder.isEmpty() || !IsPathSeparator(folder.back())) {
        folder += QDir::separator();
    }
    const QString file = row->type.isEmpty() ? folder + row->text
                                             : folder + row->text + QLatin1Char('.') + row->type;
    if (PathTaken(file) && file != row->earlier && options.duplicateMode == DuplicateMode::Skip) {
        m_list.markSkipped(rowId, QFileInfo(file).size());
        return false;
    }
    return true;
}

bool DownloadScheduler::hostIsBusy(const QString &key) const
{
    const auto until = m_busyHosts.constFind(QUrl(GetItemUrlFromKey(key)).host());
    return until != m_busyHosts.constEnd() && now() < *until;
}

quint64 DownloadScheduler::takeNextRow()
{
    for (int i = 0; i < m_list.size(); ++i) {
        const DownloadRow &candidate = m_list.at(i);
        if (candidate.state != DownloadState::Waiting) {
            continue;
        }
        // A site that asked to wait is left alone until then, all its rows with it.
        if (candidate.retryAt > now() || hostIsBusy(candidate.key)) {
            continue;
        }
        const quint64 id = m_list.at(i).id;
        m_list.update(id, [&](DownloadRow &r) {
            r.text = MakeValidFileName(r.text, m_build);
            if (r.savePath.isEmpty() || !IsPathSeparator(r.savePath.back())) {
                r.savePath += QDir::separator();
            }
        });
        if (IsWantToDownload(id)) {
            return id;
        }
    }
    return 0;
}

void DownloadScheduler::Timer_Down_Timer()
{
    if (m_list.size() == 0) {
        setTimerDown(false);
        return;
    }
    DownloadEngine &e = engine();
    // Rows start while the engine has room, the interval since the last end has passed, and
    // no login that a row's end asked for is under way.
    while (e.running() < e.capacity() && std::abs(now() - LastDownloadEndTime) > options.interval &&
           !(m_loginHold && e.waitsForLogin())) {
        const quint64 id = takeNextRow();
        if (!id) {
            return;
        }
        m_list.update(id, [](DownloadRow &r) {
            r.state = DownloadState::Downloading;
            r.clearProgress();
        });
        if (options.autoPositioning) {
            m_host.scrollTo(id);
        }
        e.start(id);
    }
}

void DownloadScheduler::Timer1_Timer()
{
    if (m_list.IsCompletedOfDownloadListView() && m_timerDown && !transferring()) {
        setTimerDown(false);
        if (options.voicePrompts) {
            m_host.playSound(Sound::SchedulerStopped);
        }
    }
    for (const auto &e : m_engines) {
        e->tick();
    }
    if (options.autoStart && m_list.StatisticsNotDownloadItemNumbers() >= 1) {
        setTimerDown(true);
    }
    if (options.autoReDownload && !m_timerDown) {
        if (options.reDownloadKind == 0 || options.reDownloadKind == 2) {
            ReDownloadErrItems(m_list, m_build);
        }
        if (options.reDownloadKind == 1 || options.reDownloadKind == 2) {
            ReDownloadHtmItems(m_list, m_build);
        }
        setTimerDown(true);
    }
    if (options.errorStop && m_list.CountErrorItems() >= 5 && m_timerDown) {
        setTimerDown(false);
        if (options.voicePrompts) {
            m_host.playSound(Sound::SchedulerStopped);
        }
    }
}

void DownloadScheduler::engineEnded(DownloadEngine *engine, quint64 rowId)
{
    if (!endOfDownload(rowId)) {
        emit rowEnded(rowId);
        return;
    }
    QCoro::Task<> login = m_host.loginSite();
    if (!engine->waitsForLogin()) {
        emit rowEnded(rowId); // the parallel way does not wait for the login
        return;
    }
    // The login is part of this row's end: the next row is not started before it ended.
    m_loginHold = true;
    QCoro::connect(std::move(login), this, [this, rowId] {
        m_loginHold = false;
        emit rowEnded(rowId);
    });
}

bool DownloadScheduler::endOfDownload(quint64 rowId)
{
    LastDownloadEndTime = now();
    // A passing failure is tried again later; only the last attempt's failure stands.
    if (RetryTransientFailure(m_list, rowId, options.retries, now(),
                              QDateTime::currentDateTime())) {
        return false; // no sound, no login: the row waits
    }
    SettleEarlierFile(m_list, rowId);
    const DownloadRow *row = m_list.find(rowId);
    if (!row) {
        return false;
    }
    if (row->note == RowNote::ServerBusy && row->state == DownloadState::Waiting) {
        const QString host = QUrl(GetItemUrlFromKey(row->key)).host();
        m_busyHosts[host] = qMax(m_busyHosts.value(host), row->retryAt);
        return false; // no sound, no login: nothing was downloaded
    }
    const bool page = m_build.xmlCountsAsPage ? IsPageOrXmlType(row->type) : IsPageType(row->type);
    if (options.voicePrompts) {
        if (page) {
            m_host.playSound(Sound::WebPage);
        }
        if (row->state == DownloadState::Failed) {
            m_host.playSound(Sound::DownloadFailed);
        }
    }
    return options.autoLogin && page;
}

} // namespace harvly
