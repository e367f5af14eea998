// The scheduler's rules, with stub engines and the injected clock: no network, no waiting.
#include "common/signalwait.h"
#include "download/downloadengine.h"
#include "download/downloadlist.h"
#include "download/scheduler.h"
#include "download/schedulerhost.h"
#include "http/sessionnetwork.h"
#include "support/recordinghost.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace harvly;
using namespace std::chrono_literals;

// Runs nothing: it records the rows it is given, and ends them when the test says so.
class StubEngine final : public DownloadEngine
{
public:
    StubEngine(const EngineContext &context, bool parallel)
        : m_context(context), m_parallel(parallel)
    {
    }
    int capacity() const override { return m_parallel ? m_context.options.threads : 1; }
    int running() const override { return int(active.size()); }
    void start(quint64 rowId) override
    {
        started << rowId;
        active.insert(rowId);
    }
    void cancel(quint64 rowId, const QString &reason) override
    {
        if (active.remove(rowId)) {
            m_context.list.update(rowId, [&](DownloadRow &r) {
                r.state = DownloadState::Failed;
                r.reason = reason;
            });
        }
    }
    void cancelAll(const QString &reason) override
    {
        for (const quint64 id : QSet<quint64>(active)) {
            cancel(id, reason);
        }
    }
    bool waitsForLogin() const override { return !m_parallel; }
    void tick() override { ++ticks; }

    void finish(quint64 rowId, DownloadState state, const QString &type = "pdf")
    {
        m_context.list.update(rowId, [&](DownloadRow &r) {
            r.state = state;
            r.type = type;
        });
        active.remove(rowId);
        emit ended(rowId, state == DownloadState::Finished ? TransferOutcome::Finished
                                                           : TransferOutcome::Failed);
    }

    QList<quint64> started;
    QSet<quint64> active;
    int ticks = 0;

private:
    EngineContext m_context;
    bool m_parallel;
};

class tst_Scheduler : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_scheduler.reset(); }
    void firstWayTakesOneRowAtATime();
    void parallelWayFillsItsSlots_data();
    void parallelWayFillsItsSlots();
    void intervalHoldsTheNextStart();
    void skipRuleFinishesExistingFiles();
    void endStepSounds_data();
    void endStepSounds();
    void autoLoginHoldsOnlyTheFirstWay_data();
    void autoLoginHoldsOnlyTheFirstWay();
    void stopFailsRunningRowsAndEndsTheAutomatics();
    void errorStopAtFiveNotFour_data();
    void errorStopAtFiveNotFour();
    void autoReDownloadRequeuesAndRestarts();
    void allDoneStopsWithASound();
    void autoStartWhenNewRowsArrive();
    void housekeepingTicksReachTheEngines();

private:
    quint64 add(const QString &name, const QString &type = "pdf")
    {
        return *m_list.add("http://site/" + name, name, type, m_folder, "");
    }
    // One scheduler second.
    void tick()
    {
        m_now += 1;
        m_scheduler->Timer_Down_Timer();
        m_scheduler->Timer1_Timer();
    }
    StubEngine &engineOfWay(int n) { return n == 1 ? *m_way1 : *m_way2; }

    QTemporaryDir m_dir;
    QString m_folder;
    SessionNetwork m_network;
    DownloadListModel m_list;
    RecordingHost m_host;
    StubEngine *m_way1 = nullptr;
    StubEngine *m_way2 = nullptr;
    std::unique_ptr<DownloadScheduler> m_scheduler;
    double m_now = 1000;
};

void tst_Scheduler::init()
{
    static int run = 0;
    m_folder = m_dir.filePath(QString("run%1").arg(++run)) + "/";
    QDir().mkpath(m_folder);
    m_list.clear();
    m_host.sounds.clear();
    m_host.logins = m_host.loginsEnded = 0;
    m_host.holdLogins = false;
    m_scheduler = std::make_unique<DownloadScheduler>(
        m_list, m_network, m_host, Build::english(),
        [this](const EngineContext &c) {
            auto e = std::make_unique<StubEngine>(c, false);
            m_way1 = e.get();
            return e;
        },
        [this](const EngineContext &c) {
            auto e = std::make_unique<StubEngine>(c, true);
            m_way2 = e.get();
            return e;
        });
    m_scheduler->setClock([this] { return m_now; });
    m_scheduler->LastDownloadEndTime = m_now;
}

void tst_Scheduler::firstWayTakesOneRowAtATime()
{
    const quint64 a = add("a");
    const quint64 b = add("b");
    m_scheduler->menuStartDownload();
    tick();
    tick();
    QCOMPARE(m_way1->started, QList<quint64>{a});
    QCOMPARE(m_list.find(a)->state, DownloadState::Downloading);
    QVERIFY(m_scheduler->InetBusy());
    m_way1->finish(a, DownloadState::Finished);
    QVERIFY(!m_scheduler->InetBusy());
    tick();
    QCOMPARE(m_way1->started, (QList<quint64>{a, b}));
    QVERIFY(m_way2->started.isEmpty());
}

void tst_Scheduler::parallelWayFillsItsSlots_data()
{
    QTest::addColumn<int>("threads");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("started");
    QTest::newRow("three slots, five rows: three start?") << 3 << 5 << 3;
    QTest::newRow("six slots, two rows: two start?") << 6 << 2 << 2;
}

void tst_Scheduler::parallelWayFillsItsSlots()
{
    QFETCH(int, threads);
    QFETCH(int, rows);
    QFETCH(int, started);
    m_scheduler->options.way = DownloadWay::Parallel;
    m_scheduler->options.threads = threads;
    for (int i = 0; i < rows; ++i) {
        add(QString("p%1").arg(i));
    }
    m_scheduler->menuStartDownload();
    tick();
    QCOMPARE(m_way2->started.size(), started);
    QCOMPARE(m_list.countState(DownloadState::Downloading), started);
    if (rows > started) {
        m_way2->finish(m_way2->started.first(), DownloadState::Finished);
        tick(); // one slot came free: one more row
        QCOMPARE(m_way2->started.size(), started + 1);
    }
}

void tst_Scheduler::intervalHoldsTheNextStart()
{
    const quint64 a = add("a");
    const quint64 b = add("b");
    m_scheduler->options.interval = 3;
    m_scheduler->menuStartDownload();
    tick(); // 1 s after load: not more than 3
    QVERIFY(m_way1->started.isEmpty());
    m_now += 3;
    tick();
    QCOMPARE(m_way1->started, QList<quint64>{a});
    m_way1->finish(a, DownloadState::Finished);
    m_now = m_scheduler->LastDownloadEndTime + 2;
    m_scheduler->Timer_Down_Timer();
    QCOMPARE(m_list.find(b)->state, DownloadState::Waiting);
    m_now = m_scheduler->LastDownloadEndTime + 3.5;
    m_scheduler->Timer_Down_Timer();
    QCOMPARE(m_way1->started, (QList<quint64>{a, b}));
}

void tst_Scheduler::skipRuleFinishesExistingFiles()
{
    QFile existing(m_folder + "a.pdf");
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("existing");
    existing.close();
    m_scheduler->options.duplicateMode = DuplicateMode::Skip;
    const quint64 a = add("a");
    const quint64 b = add("b");
    m_scheduler->menuStartDownload();
    tick();
    const DownloadRow *row = m_list.find(a);
    QCOMPARE(row->state, DownloadState::Finished);
    QCOMPARE(row->percentageText(), QString("Already exists, skip"));
    QCOMPARE(row->fileSizeText(), QString("8"));
    QCOMPARE(row->downloadedText(), QString("8"));
    QVERIFY(!row->neverAttempted());
    QCOMPARE(m_way1->started, QList<quint64>{b}); // the next row went in its place
}

void tst_Scheduler::endStepSounds_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QList<int>>("sounds");
    QTest::newRow("a document: silent") << int(DownloadState::Finished) << "pdf" << QList<int>{};
    QTest::newRow("a page came: 101") << int(DownloadState::Finished) << "htm" << QList<int>{101};
    QTest::newRow("failed: 103") << int(DownloadState::Failed) << "pdf" << QList<int>{103};
}

void tst_Scheduler::endStepSounds()
{
    QFETCH(int, state);
    QFETCH(QString, type);
    QFETCH(QList<int>, sounds);
    m_scheduler->options.voicePrompts = true;
    const quint64 a = add("a");
    add("b"); // keeps the list from being done
    m_scheduler->menuStartDownload();
    tick();
    m_way1->finish(a, DownloadState(state), type);
    QCOMPARE(m_host.sounds, sounds);
    QCOMPARE(m_scheduler->LastDownloadEndTime, m_now);
}

void tst_Scheduler::autoLoginHoldsOnlyTheFirstWay_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("way 1: the next row waits for the login") << 1;
    QTest::newRow("way 2: the next row does not wait") << 2;
}

void tst_Scheduler::autoLoginHoldsOnlyTheFirstWay()
{
    QFETCH(int, way);
    m_scheduler->options.way = WayFromNumber(way);
    m_scheduler->options.autoLogin = true;
    m_host.holdLogins = true;
    const quint64 page = add("page");
    const quint64 paper = add("paper");
    m_scheduler->menuStartDownload();
    m_scheduler->options.threads = 1;
    tick();
    engineOfWay(way).finish(page, DownloadState::Finished, "htm"); // a login page came
    QCOMPARE(m_host.logins, 1);
    for (int i = 0; i < 5; ++i) {
        tick();
    }
    QCOMPARE(m_list.find(paper)->state == DownloadState::Waiting, way == 1);
    if (way == 1) {
        QVERIFY(m_scheduler->InetBusy());
        emit m_host.gate.opened();
        QTRY_COMPARE(m_host.loginsEnded, 1);
        tick();
        QCOMPARE(m_list.find(paper)->state, DownloadState::Downloading);
    }
}

void tst_Scheduler::stopFailsRunningRowsAndEndsTheAutomatics()
{
    m_scheduler->options.way = DownloadWay::Parallel;
    m_scheduler->options.threads = 3;
    m_scheduler->options.autoStart = true;
    m_scheduler->options.autoReDownload = true;
    for (int i = 0; i < 3; ++i) {
        add(QString("r%1").arg(i));
    }
    m_scheduler->menuStartDownload();
    tick();
    QCOMPARE(m_list.countState(DownloadState::Downloading), 3);
    m_scheduler->menuStopDownload();
    QCOMPARE(m_list.countState(DownloadState::Failed), 3);
    QCOMPARE(m_list.at(0).reason, QString("stopped"));
    QVERIFY(!m_scheduler->transferring());
    QVERIFY(!m_scheduler->timerDownEnabled());
    QVERIFY(!m_scheduler->options.autoStart);
    QVERIFY(!m_scheduler->options.autoReDownload);
}

void tst_Scheduler::errorStopAtFiveNotFour_data()
{
    QTest::addColumn<int>("errors");
    QTest::addColumn<bool>("stopped");
    QTest::newRow("four page results keep going") << 4 << false;
    QTest::newRow("five page results stop") << 5 << true;
}

void tst_Scheduler::errorStopAtFiveNotFour()
{
    QFETCH(int, errors);
    QFETCH(bool, stopped);
    for (int i = 0; i < errors; ++i) {
        const quint64 id = add(QString("Page %1").arg(i), "htm");
        m_list.update(id, [](DownloadRow &r) { r.state = DownloadState::Finished; });
    }
    add("waiting"); // so the list is not done
    m_scheduler->options.errorStop = true;
    m_scheduler->options.voicePrompts = true;
    m_scheduler->menuStartDownload();
    m_scheduler->Timer1_Timer();
    QCOMPARE(!m_scheduler->timerDownEnabled(), stopped);
    QCOMPARE(m_host.sounds.contains(102), stopped);
}

void tst_Scheduler::autoReDownloadRequeuesAndRestarts()
{
    const quint64 failed = add("Failed one");
    m_list.update(failed, [](DownloadRow &r) {
        r.state = DownloadState::Failed;
        r.note = RowNote::DownloadFailed;
        r.reason = "connection reset";
    });
    const quint64 page = add("Page", "htm");
    m_list.update(page, [](DownloadRow &r) { r.state = DownloadState::Finished; });
    QFile html(m_folder + "Page.htm");
    QVERIFY(html.open(QIODevice::WriteOnly));
    html.close();
    m_scheduler->options.autoReDownload = true;
    m_scheduler->options.reDownloadKind = 2;
    m_scheduler->Timer1_Timer();
    QVERIFY(m_scheduler->timerDownEnabled());
    QCOMPARE(m_list.find(failed)->state, DownloadState::Waiting);
    QCOMPARE(m_list.find(failed)->fileSizeText(), QString());
    QCOMPARE(m_list.find(failed)->reason, QString());
    QCOMPARE(m_list.find(page)->state, DownloadState::Waiting);
    QCOMPARE(m_list.find(page)->type, UndecidedType());
    QVERIFY(QFile::exists(m_folder + "Page.htm")); // until the new download replaces it
    QCOMPARE(m_list.find(page)->earlier, m_folder + "Page.htm");
    // Nothing left to re-queue: it still starts again each time it stops.
    m_list.clear();
    m_scheduler->Timer_Down_Timer(); // empty list: stops
    QVERIFY(!m_scheduler->timerDownEnabled());
    m_scheduler->Timer1_Timer();
    QVERIFY(m_scheduler->timerDownEnabled());
}

void tst_Scheduler::allDoneStopsWithASound()
{
    const quint64 id = add("a");
    m_list.update(id, [](DownloadRow &r) { r.state = DownloadState::Failed; });
    m_scheduler->options.voicePrompts = true;
    m_scheduler->menuStartDownload();
    m_scheduler->Timer1_Timer();
    QVERIFY(!m_scheduler->timerDownEnabled());
    QCOMPARE(m_host.sounds, QList<int>{102});
}

void tst_Scheduler::autoStartWhenNewRowsArrive()
{
    m_scheduler->options.autoStart = true;
    m_scheduler->Timer1_Timer();
    QVERIFY(!m_scheduler->timerDownEnabled());
    add("a");
    m_scheduler->Timer1_Timer();
    QVERIFY(m_scheduler->timerDownEnabled());
    m_scheduler->menuStopDownload();
    QVERIFY(!m_scheduler->options.autoStart);
}

void tst_Scheduler::housekeepingTicksReachTheEngines()
{
    m_scheduler->Timer1_Timer();
    m_scheduler->Timer1_Timer();
    QCOMPARE(m_way1->ticks, 2);
    QCOMPARE(m_way2->ticks, 2);
}

QTEST_GUILESS_MAIN(tst_Scheduler)
#include "tst_scheduler.moc"
