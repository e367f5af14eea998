#include "common/urltext.h"
#include "search/bulkrun.h"
#include "search/resultlist.h"
#include "testsite.h"

#include <QCoro/QCoroTask>
#include <QCoro/QCoroTimer>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QTest>
#include <QTimer>

using namespace harvly;
using namespace std::chrono_literals;

// A bulk list walked address by address: which lines count, the delay after each, a stop.
class tst_BulkRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_site.start()); }
    void addressLines_data();
    void addressLines();
    void tenThousandMixedLines();
    void runCountsAddsAndWaits();
    void stopListsEveryRemainingAddress();
    void secondStartIsRefused();
    void downloadMethodAddsDocumentPages();
    void stopEndsAPageThatNeverCompletes();
    void busySiteIsWaitedFor();
    void busySiteGivesUpAfterFiveAnswers();

private:
    testsite::TestSite m_site;
};

void tst_BulkRun::addressLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("notes and blanks neither counted nor listed")
        << "note\n\nhttp://a/1\n  https://b/2  \nftp://c/3\n"
        << QStringList{"http://a/1", "https://b/2"};
    QTest::newRow("CR LF, lone CR and LF all end a line")
        << "http://a/1\r\nhttp://a/2\rhttp://a/3\nhttp://a/4"
        << QStringList{"http://a/1", "http://a/2", "http://a/3", "http://a/4"};
    QTest::newRow("NUL characters dropped") << QString("http://a/") + QChar(0) + "1\n"
                                            << QStringList{"http://a/1"};
    QTest::newRow("any letter case") << "HTTP://A/1" << QStringList{"HTTP://A/1"};
    QTest::newRow("duplicates stay: each is a line")
        << "http://a/1\nhttp://a/1" << QStringList{"http://a/1", "http://a/1"};
    QTest::newRow("DOIs at the resolver, however written")
        << "10.1234/ABC\ndoi: 10.1234/b .\nhttps://doi.org/10.1234/c\nhttp://dx.doi.org/10.1234/d\n"
           "10.12/too-short\n"
        << QStringList{"https://resolver.example/10.1234/abc", "https://resolver.example/10.1234/b",
                       "https://resolver.example/10.1234/c", "https://resolver.example/10.1234/d"};
}

void tst_BulkRun::addressLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(BulkAddressLines(text, "https://resolver.example"), lines);
}

void tst_BulkRun::tenThousandMixedLines()
{
    // Every ending, notes, blanks, NULs and duplicates in one list (its speed is in bench-bulk).
    QString text;
    const char *const endings[] = {"\r\n", "\r", "\n"};
    for (int i = 0; i < 10000; ++i) {
        if (i % 5 == 0) {
            text += QString("note %1").arg(i);
        } else if (i % 5 == 1) {
            text += "   ";
        } else {
            text += QString("http://site/docview/%1").arg(i % 1000) + QChar(0);
        }
        text += endings[i % 3];
    }
    const QStringList lines = BulkAddressLines(text);
    QCOMPARE(lines.size(), 6000);
    QCOMPARE(lines.first(), QString("http://site/docview/2"));
    QCOMPARE(lines.last(), QString("http://site/docview/999"));
    QCOMPARE(lines.count("http://site/docview/2"), 10);
}

void tst_BulkRun::runCountsAddsAndWaits()
{
    BulkUrlRun run;
    QList<std::chrono::milliseconds> waits;
    auto clock = std::chrono::steady_clock::time_point{};
    run.now = [&clock] { return clock; };
    run.sleep = [&waits, &clock](std::chrono::milliseconds d) -> QCoro::Task<> {
        waits << d;
        clock += d;
        co_return;
    };
    QStringList analysed;
    const auto analyse = [&analysed, &clock](QString address) -> QCoro::Task<bool> {
        analysed << address;
        clock += address.endsWith("broken") ? 12s : 4s; // the analysis itself takes time
        co_return !address.endsWith("broken");
    };
    QList<QPair<int, int>> progress;
    connect(&run, &BulkUrlRun::progress, this,
            [&progress](int line, int lines) { progress << qMakePair(line, lines); });
    const BulkRunResult r =
        QCoro::waitFor(run.run("http://a/1\nnote\nhttp://a/broken\nhttp://a/3\n", analyse, 10s));
    QCOMPARE(analysed, (QStringList{"http://a/1", "http://a/broken", "http://a/3"}));
    QCOMPARE(r.added, 2);
    QCOMPARE(r.addresses, 3);
    QCOMPARE(r.unsuccessful, QStringList{"http://a/broken"});
    // The delay counts from when an address was taken: what its analysis took is deducted,
    // and an analysis longer than the delay is followed by none.
    QCOMPARE(waits, (QList<std::chrono::milliseconds>{6000ms, 6000ms}));
    // Every line of the box counts for the progress bar, notes and the empty last one too.
    QCOMPARE(progress.size(), 5);
    QCOMPARE(progress.at(1), qMakePair(2, 5));
    QCOMPARE(progress.last(), qMakePair(5, 5));
    QVERIFY(!run.running());
}

void tst_BulkRun::stopListsEveryRemainingAddress()
{
    BulkUrlRun run;
    int analysed = 0;
    const auto analyse = [&run, &analysed](QString) -> QCoro::Task<bool> {
        if (++analysed == 2) {
            run.stop(); // pressed while the second address is analysed
        }
        co_return true;
    };
    QElapsedTimer t;
    t.start();
    const BulkRunResult r =
        QCoro::waitFor(run.run("http://a/1\nhttp://a/2\nhttp://a/3\nhttp://a/4\n", analyse, 1s));
    QVERIFY(t.elapsed() < 900 + 900); // the delay after the second address ended at once
    QCOMPARE(analysed, 2);
    QCOMPARE(r.added, 2);
    QCOMPARE(r.unsuccessful, (QStringList{"http://a/3", "http://a/4"}));
    QVERIFY(r.stopped);
}

void tst_BulkRun::secondStartIsRefused()
{
    BulkUrlRun run;
    run.sleep = [](std::chrono::milliseconds) -> QCoro::Task<> { co_return; };
    int calls = 0;
    // A run held in its analysis: a second start gives nothing and analyses nothing.
    bool release = false;
    const auto held = [&release, &calls](QString) -> QCoro::Task<bool> {
        ++calls;
        while (!release) {
            co_await QCoro::sleepFor(5ms);
        }
        co_return true;
    };
    QCoro::Task<BulkRunResult> running = run.run("http://a/1\n", held, 0s);
    QVERIFY(run.running());
    const BulkRunResult second = QCoro::waitFor(run.run("http://b/1\n", held, 0s));
    QCOMPARE(second.addresses, 0);
    QCOMPARE(calls, 1);
    release = true;
    const BulkRunResult r = QCoro::waitFor(std::move(running));
    QCOMPARE(r.added, 1);
}

void tst_BulkRun::downloadMethodAddsDocumentPages()
{
    QNetworkAccessManager network;
    ResultListModel list;
    HarvestOptions options;
    options.savePath = "/save/";
    BulkUrlRun run;
    const QString text = m_site.url("/docview/3").toString() + "\n" +
                         m_site.url("/nothing-here").toString() + "\n" +
                         m_site.url("/docview/4").toString() + "\n";
    QPointer<QNetworkAccessManager> n(&network);
    QPointer<ResultListModel> l(&list);
    const auto analyse = [n, l, options](QString address) {
        return AddByDownloadMethod(n, l, options, address);
    };
    const BulkRunResult r = QCoro::waitFor(run.run(text, analyse, 0s));
    QCOMPARE(r.added, 2);
    QCOMPARE(r.unsuccessful, QStringList{m_site.url("/nothing-here").toString()});
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(0).type, QString("SS"));
    QCOMPARE(list.at(0).savePath, QString("/save/"));
    QVERIFY(list.at(0).key.contains("/pdf/3.pdf"));
}

void tst_BulkRun::stopEndsAPageThatNeverCompletes()
{
    QNetworkAccessManager network;
    ResultListModel list;
    BulkUrlRun run;
    QPointer<QNetworkAccessManager> n(&network);
    QPointer<ResultListModel> l(&list);
    QPointer<BulkUrlRun> r(&run);
    const auto analyse = [n, l, r](QString address) {
        return AddByDownloadMethod(n, l, HarvestOptions{}, address, r);
    };
    const QString stall = m_site.url("/stall").toString();
    const QString text = stall + "\n" + m_site.url("/docview/5").toString();
    QTimer::singleShot(200, &run, &BulkUrlRun::stop); // while the page is still coming
    QElapsedTimer t;
    t.start();
    const BulkRunResult result = QCoro::waitFor(run.run(text, analyse, 0s));
    QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed()))); // not the 60 s limit
    QVERIFY(result.stopped);
    QCOMPARE(result.added, 0);
    QCOMPARE(result.unsuccessful, (QStringList{stall, m_site.url("/docview/5").toString()}));
    QCOMPARE(list.size(), 0);
    QVERIFY(!run.running());
}

void tst_BulkRun::busySiteIsWaitedFor()
{
    QNetworkAccessManager network;
    ResultListModel list;
    BulkUrlRun run;
    QList<std::chrono::milliseconds> waits;
    run.sleep = [&waits](std::chrono::milliseconds d) -> QCoro::Task<> {
        waits << d;
        co_return;
    };
    QPointer<QNetworkAccessManager> n(&network);
    QPointer<ResultListModel> l(&list);
    QPointer<BulkUrlRun> r(&run);
    const auto analyse = [n, l, r](QString address) {
        return AddByDownloadMethod(n, l, HarvestOptions{}, address, r);
    };
    const QString busy = m_site.url("/docview/6?fault=busy&times=2&retry=3").toString();
    const BulkRunResult result = QCoro::waitFor(run.run(busy, analyse, 0s));
    QCOMPARE(result.added, 1); // the third answer was the page
    QCOMPARE(waits, (QList<std::chrono::milliseconds>{3s, 3s}));
    // A stop while waiting ends it: the address is unsuccessful.
    run.sleep = [&run](std::chrono::milliseconds) -> QCoro::Task<> {
        run.stop();
        co_return;
    };
    const QString again = m_site.url("/docview/7?fault=busy&times=2").toString();
    const BulkRunResult stopped = QCoro::waitFor(run.run(again, analyse, 0s));
    QCOMPARE(stopped.added, 0);
    QCOMPARE(stopped.unsuccessful, QStringList{again});
}

void tst_BulkRun::busySiteGivesUpAfterFiveAnswers()
{
    QNetworkAccessManager network;
    QList<qint64> pauses;
    const BusyWait wait = [&pauses](std::chrono::seconds s) -> QCoro::Task<bool> {
        pauses << s.count();
        co_return true;
    };
    const auto page = QCoro::waitFor(FetchPageWaitingForBusySite(
        &network, m_site.url("/docview/8?fault=busy&times=9&status=503"), "utf-8", wait));
    QVERIFY(!page);
    QCOMPARE(pauses, (QList<qint64>{30, 60, 120, 240})); // five answers, four waits
}

QTEST_GUILESS_MAIN(tst_BulkRun)
#include "tst_bulkrun.moc"
