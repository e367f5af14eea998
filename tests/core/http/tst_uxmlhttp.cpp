#include "http/latestversion.h"
#include "http/uxmlhttp.h"
#include "testsite.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace harvly;

// One request at a time with events, and the latest-version rules that use it.
class tst_uXMLHTTP : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_site.start()); }
    void eventsInTheirOrder();
    void errorStatusCarriesItsDescription_data();
    void errorStatusCarriesItsDescription();
    void saveReplacesExactlyAndKeepsOnFailure();
    void emptyBodyWritesNothing();
    void sendWithoutOpenDoesNothing();
    void abortRaisesNothing();
    void sendAgainTellsTheOldRequestAgain();
    void onlyWebAddresses_data();
    void onlyWebAddresses();
    void versionRules_data();
    void versionRules();
    void addressesOnTheServer();

private:
    // The events of one request, in order, until it completes.
    QStringList run(uXMLHTTP &x)
    {
        QStringList events;
        auto a = connect(&x, &uXMLHTTP::OnReadyStateChange, this, [&] {
            if (events.isEmpty() || events.last() != "change") {
                events << "change";
            }
        });
        auto b = connect(&x, &uXMLHTTP::OnDateArrived, this, [&] {
            QVERIFY(x.DownOK()); // already set when told
            events << "arrived";
        });
        auto c = connect(&x, &uXMLHTTP::OnDateErr, this,
                         [&](const QString &d) { events << "err:" + d; });
        x.Send_();
        const int during = int(events.size());
        QTest::qWaitFor([&] { return !events.isEmpty() && events.last() != "change"; }, 10000);
        disconnect(a);
        disconnect(b);
        disconnect(c);
        if (during != 0) {
            events.prepend("event during Send_");
        }
        return events;
    }

    testsite::TestSite m_site;
    QNetworkAccessManager m_network;
    QTemporaryDir m_dir;
};

void tst_uXMLHTTP::eventsInTheirOrder()
{
    uXMLHTTP x(&m_network);
    QVERIFY(x.Open_("get", m_site.url("/Harvly/newver.txt").toString()));
    x.SetRequestHeader("X-Test", "1");
    QCOMPARE(x.ReadyState(), 1);
    QCOMPARE(run(x), (QStringList{"change", "arrived"})); // a change just before the end too
    QCOMPARE(x.ReadyState(), 4);
    QCOMPARE(x.Status(), 200);
    QCOMPARE(x.StatusText(), QString("OK"));
    QCOMPARE(x.ResponseText().trimmed(), QString("1.7.519"));
    QCOMPARE(x.ResponseBody(), QByteArray("1.7.519\r\n"));
    QCOMPARE(x.GetResponseHeader("content-type"), QString("text/plain"));
    QVERIFY(x.GetAllResponseHeaders().contains("Content-Type: text/plain\r\n"));
}

void tst_uXMLHTTP::errorStatusCarriesItsDescription_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("description");
    QTest::newRow("404") << "/nothing" << QString::fromUtf8("没有发现文件?查询或URl");
    QTest::newRow("403") << "/pdf/1.pdf?fault=403" << QString::fromUtf8("请求不允许");
    QTest::newRow("429: not in the table") << "/pdf/1.pdf?fault=429" << QString();
    QTest::newRow("no answer at all: status 0") << "/pdf/1.pdf?fault=reset" << QString();
}

void tst_uXMLHTTP::errorStatusCarriesItsDescription()
{
    QFETCH(QString, path);
    QFETCH(QString, description);
    uXMLHTTP x(&m_network);
    QVERIFY(x.Open_("GET", m_site.url(path).toString()));
    const QStringList events = run(x);
    QCOMPARE(events.last(), "err:" + description);
    QVERIFY(x.DownOK());
}

void tst_uXMLHTTP::saveReplacesExactlyAndKeepsOnFailure()
{
    const QString file = m_dir.filePath("newver.txt");
    QFile old(file);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older and much longer file that must be replaced whole");
    old.close();
    uXMLHTTP x(&m_network);
    QVERIFY(x.Open_("GET", m_site.url("/nothing").toString(), file));
    QVERIFY(run(x).last().startsWith("err:"));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(),
             QByteArray("an older and much longer file that must be replaced whole"));
    old.close();
    QVERIFY(x.Open_("GET", m_site.url("/Harvly/newver.txt").toString(), file));
    QCOMPARE(run(x).last(), QString("arrived"));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("1.7.519\r\n")); // exactly the body, nothing of the old
}

void tst_uXMLHTTP::emptyBodyWritesNothing()
{
    const QString kept = m_dir.filePath("kept.txt");
    QFile f(kept);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("keep");
    f.close();
    uXMLHTTP x(&m_network);
    QVERIFY(x.Open_("GET", m_site.url("/empty").toString(), kept));
    QCOMPARE(run(x).last(), QString("arrived"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("keep"));
    QVERIFY(x.Open_("GET", m_site.url("/empty").toString(), m_dir.filePath("none.txt")));
    QCOMPARE(run(x).last(), QString("arrived"));
    QVERIFY(!QFile::exists(m_dir.filePath("none.txt")));
}

void tst_uXMLHTTP::sendWithoutOpenDoesNothing()
{
    uXMLHTTP x(&m_network);
    QSignalSpy changes(&x, &uXMLHTTP::OnReadyStateChange);
    QSignalSpy arrived(&x, &uXMLHTTP::OnDateArrived);
    QSignalSpy err(&x, &uXMLHTTP::OnDateErr);
    x.Send_();
    QTest::qWait(200);
    QCOMPARE(changes.size() + arrived.size() + err.size(), 0);
    QVERIFY(!x.DownOK());
}

void tst_uXMLHTTP::abortRaisesNothing()
{
    uXMLHTTP x(&m_network);
    QVERIFY(x.Open_("GET", m_site.url("/stall").toString()));
    QSignalSpy arrived(&x, &uXMLHTTP::OnDateArrived);
    QSignalSpy err(&x, &uXMLHTTP::OnDateErr);
    x.Send_();
    QTest::qWait(200);
    x.Abort_();
    QTest::qWait(300);
    QCOMPARE(arrived.size() + err.size(), 0);
    QVERIFY(!x.DownOK());
    // The instance serves the next request.
    QVERIFY(x.Open_("GET", m_site.url("/Harvly/newver.txt").toString()));
    QCOMPARE(run(x).last(), QString("arrived"));
}

void tst_uXMLHTTP::sendAgainTellsTheOldRequestAgain()
{
    uXMLHTTP x(&m_network);
    QVERIFY(x.Open_("GET", m_site.url("/nothing").toString()));
    QVERIFY(run(x).last().startsWith("err:"));
    const int served = int(m_site.requests().size());
    QCOMPARE(run(x), (QStringList{"change", "err:" + uXMLHTTP::StatusDescription(404)}));
    QCOMPARE(int(m_site.requests().size()), served); // not asked again
}

void tst_uXMLHTTP::onlyWebAddresses_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("url");
    QTest::newRow("a local file") << "GET"
                                  << "file:///etc/passwd";
    QTest::newRow("no address") << "GET"
                                << "";
    QTest::newRow("no such method") << "FETCH"
                                    << "http://127.0.0.1:1/";
}

void tst_uXMLHTTP::onlyWebAddresses()
{
    QFETCH(QString, method);
    QFETCH(QString, url);
    uXMLHTTP x(&m_network);
    QString error;
    QVERIFY(!x.Open_(method, url, QString(), &error));
    QVERIFY(!error.isEmpty());
}

void tst_uXMLHTTP::versionRules_data()
{
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<bool>("newer");
    // The English build is 1.7.519, the Chinese one 1.8.1229.
    QTest::newRow("the same version") << false << "1.7.519\r\n" << true << false;
    QTest::newRow("a newer revision") << false << "1.7.520" << true << true;
    QTest::newRow("1.10.0 is newer than 1.9.999") << false << "1.10.0" << true << true;
    QTest::newRow("an older one") << false << "1.6.9999" << true << false;
    QTest::newRow("two parts: ignored") << false << "2.0" << true << false;
    QTest::newRow("not numeric: ignored") << false << "2.x.0" << true << false;
    QTest::newRow("11 characters: too long for the English build")
        << false << "10.100.1000" << false << false;
    QTest::newRow("11 characters: within the Chinese build's limit")
        << true << "10.100.1000" << true << true;
    QTest::newRow("20 characters: within the Chinese build's limit")
        << true << "100000.100000.100000" << true << true;
    QTest::newRow("21 characters") << true << "100000.100000.1000000" << false << false;
    QTest::newRow("empty") << false << "  " << false << false;
}

void tst_uXMLHTTP::versionRules()
{
    QFETCH(bool, chinese);
    QFETCH(QString, reply);
    QFETCH(bool, taken);
    QFETCH(bool, newer);
    const LatestVersion v =
        CompareLatestVersion(reply, chinese ? Build::chinese() : Build::english());
    QCOMPARE(v.taken, taken);
    QCOMPARE(v.newer, newer);
    QCOMPARE(ComposedVersion("1.10.0"), std::optional<qint64>(10100000));
    QCOMPARE(ComposedVersion("1.9.999"), std::optional<qint64>(10090999));
}

void tst_uXMLHTTP::addressesOnTheServer()
{
    QCOMPARE(LatestVersionAddress("http://h:1/"), QString("http://h:1/Harvly/newver.txt"));
    QCOMPARE(ProductPageAddress("http://h:1"), QString("http://h:1/Harvly/"));
    QCOMPARE(LatestVersionAddress("  "), QString());
}

QTEST_GUILESS_MAIN(tst_uXMLHTTP)
#include "tst_uxmlhttp.moc"
