#include "download/busyanswer.h"
#include "download/downloadlist.h"
#include "download/failurereason.h"
#include "download/transientretry.h"

#include <QTest>

using namespace harvly;
using namespace std::chrono_literals;

// A site that says it is busy: how long to wait, and what the row shows meanwhile.
class tst_BusyAnswer : public QObject
{
    Q_OBJECT

private slots:
    void retryAfter_data();
    void retryAfter();
    void backOffDoublesToTenMinutes();
    void rowWaitsThenFailsAtTheFifth();
    void retryPauseDoublesToAMinute();
    void transientReasons_data();
    void transientReasons();
    void retriedRowWaitsAndSaysWhy();
};

void tst_BusyAnswer::retryAfter_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<int>("seconds"); // -1: none
    QTest::newRow("seconds") << QByteArray("120") << 120;
    QTest::newRow("spaces around") << QByteArray(" 7 ") << 7;
    QTest::newRow("a date 90 s ahead") << QByteArray("Wed, 09 Dec 2026 12:01:30 GMT") << 90;
    QTest::newRow("a date gone by") << QByteArray("Wed, 09 Dec 2026 11:00:00 GMT") << 0;
    QTest::newRow("none") << QByteArray() << -1;
    QTest::newRow("nonsense") << QByteArray("soon") << -1;
    QTest::newRow("negative") << QByteArray("-5") << -1;
}

void tst_BusyAnswer::retryAfter()
{
    QFETCH(QByteArray, header);
    QFETCH(int, seconds);
    const QDateTime now(QDate(2026, 12, 9), QTime(12, 0, 0), Qt::UTC);
    const auto wait = RetryAfterOf(header, now);
    QCOMPARE(wait.has_value(), seconds >= 0);
    if (wait) {
        QCOMPARE(int(wait->count()), seconds);
    }
}

void tst_BusyAnswer::backOffDoublesToTenMinutes()
{
    QList<qint64> waits;
    for (int earlier = 0; earlier < 7; ++earlier) {
        waits << BackOff(earlier).count();
    }
    QCOMPARE(waits, (QList<qint64>{30, 60, 120, 240, 480, 600, 600}));
}

void tst_BusyAnswer::rowWaitsThenFailsAtTheFifth()
{
    DownloadListModel list;
    const quint64 id = *list.add("http://h/a.pdf", "A", "pdf", "/tmp/", "");
    const QDateTime wall(QDate(2026, 12, 9), QTime(14, 0, 0), Qt::LocalTime);
    double now = 1000;
    QList<double> waits;
    for (int answer = 1; answer <= 4; ++answer) {
        list.update(id, [](DownloadRow &r) { r.state = DownloadState::Downloading; });
        QCOMPARE(MarkServerBusy(list, id, QByteArray(), now, wall), TransferOutcome::Busy);
        const DownloadRow &r = list.at(0);
        QCOMPARE(r.state, DownloadState::Waiting);
        QCOMPARE(r.busyAnswers, answer);
        waits << r.retryAt - now;
        now = r.retryAt;
    }
    QCOMPARE(waits, (QList<double>{30, 60, 120, 240}));
    // What the row shows: the wall time it will be tried again.
    list.update(id, [](DownloadRow &r) { r.state = DownloadState::Downloading; });
    QCOMPARE(MarkServerBusy(list, id, "15", 0, wall), TransferOutcome::Failed); // the fifth
    QCOMPARE(list.at(0).state, DownloadState::Failed);
    QCOMPARE(list.at(0).reason, QString("server busy: five answers to wait"));
    const quint64 other = *list.add("http://h/b.pdf", "B", "pdf", "/tmp/", "");
    QCOMPARE(MarkServerBusy(list, other, "15", 0, wall), TransferOutcome::Busy);
    QCOMPARE(list.at(1).fileSizeText(), QString("Server busy, retry at 14:00:15"));
    QCOMPARE(list.at(1).retryAt, 15.0);
}

void tst_BusyAnswer::retryPauseDoublesToAMinute()
{
    QList<qint64> pauses;
    for (int retry = 1; retry <= 9; ++retry) {
        pauses << RetryPause(retry).count();
    }
    QCOMPARE(pauses, (QList<qint64>{1, 2, 4, 8, 16, 32, 60, 60, 60}));
}

void tst_BusyAnswer::transientReasons_data()
{
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("transient");
    QTest::newRow("connection reset") << "connection reset" << true;
    QTest::newRow("no progress") << FailureReason::stalled() << true;
    QTest::newRow("no answer") << FailureReason::noAnswer() << true;
    QTest::newRow("short body") << FailureReason::shortBody(10, 20) << true;
    QTest::newRow("PDF without its end") << FailureReason::incompletePdf() << true;
    QTest::newRow("server error 502") << FailureReason::serverError(502) << true;
    QTest::newRow("refused with 404: no") << FailureReason::serverError(404) << false;
    QTest::newRow("host not found: no") << "host not found" << false;
    QTest::newRow("stopped by the user: no") << FailureReason::stopped() << false;
    QTest::newRow("disk full: no") << FailureReason::diskFull() << false;
}

void tst_BusyAnswer::transientReasons()
{
    QFETCH(QString, reason);
    QFETCH(bool, transient);
    QCOMPARE(FailureReason::isTransient(reason), transient);
}

void tst_BusyAnswer::retriedRowWaitsAndSaysWhy()
{
    DownloadListModel list;
    const quint64 id = *list.add("http://h/a.pdf", "a", "pdf", "/tmp/", "");
    const auto fail = [&](const QString &why) {
        list.update(id, [&](DownloadRow &r) {
            r.state = DownloadState::Failed;
            r.reason = why;
        });
    };
    const QDateTime wall(QDate(2026, 12, 10), QTime(14, 2, 30));
    fail("connection reset");
    QVERIFY(RetryTransientFailure(list, id, 2, 100, wall));
    QCOMPARE(list.find(id)->state, DownloadState::Waiting);
    QCOMPARE(list.find(id)->retryAt, 101.0);
    QCOMPARE(list.find(id)->fileSizeText(), QString("connection reset; retry 1 of 2 at 14:02:31"));
    fail(FailureReason::stalled());
    QVERIFY(RetryTransientFailure(list, id, 2, 200, wall));
    QCOMPARE(list.find(id)->retryAt, 202.0);
    fail("connection reset");
    QVERIFY(!RetryTransientFailure(list, id, 2, 300, wall)); // out of retries: it fails
    QCOMPARE(list.find(id)->state, DownloadState::Failed);
    QCOMPARE(list.find(id)->reason, QString("connection reset"));
    fail("host not found");
    list.update(id, [](DownloadRow &r) { r.retries = 0; });
    QVERIFY(!RetryTransientFailure(list, id, 2, 400, wall)); // not a passing failure
}

QTEST_GUILESS_MAIN(tst_BusyAnswer)
#include "tst_busyanswer.moc"
