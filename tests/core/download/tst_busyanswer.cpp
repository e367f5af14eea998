#include "download/busyanswer.h"
#include "download/downloadlist.h"

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

QTEST_GUILESS_MAIN(tst_BusyAnswer)
#include "tst_busyanswer.moc"
