#include "testsite.h"

#include <QCoro/QCoroNetworkReply>
#include <QCoro/QCoroTask>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTest>

using namespace harvly::testsite;

// The sample site is what the engines and harvesters are tested against; these check that it
// misbehaves exactly as asked.
class tst_TestSite : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_site.start()); }
    void answers_data();
    void answers();
    void stallKeepsTheConnectionOpen();

private:
    struct Answer {
        int status = 0;
        QNetworkReply::NetworkError error = QNetworkReply::NoError;
        QByteArray body;
        QVariant length;
        QByteArray type;
    };
    Answer get(const QString &path, int timeoutMs = 10000)
    {
        QNetworkRequest request(m_site.url(path));
        request.setTransferTimeout(timeoutMs);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::ManualRedirectPolicy);
        std::unique_ptr<QNetworkReply> reply(m_network.get(request));
        QCoro::waitFor(qCoro(reply.get()).waitForFinished());
        return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->error(),
                reply->readAll(), reply->header(QNetworkRequest::ContentLengthHeader),
                reply->rawHeader("Content-Type")};
    }
    TestSite m_site;
    QNetworkAccessManager m_network;
};

void tst_TestSite::answers_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("bodyStart");
    QTest::addColumn<bool>("lengthAnnounced");
    QTest::addColumn<bool>("fails");

    QTest::newRow("pdf file") << "/pdf/3.pdf" << 200 << QByteArray("%PDF-1.4") << true << false;
    QTest::newRow("no length") << "/pdf/3.pdf?fault=nolength" << 200 << QByteArray("%PDF") << false
                               << false;
    QTest::newRow("announced longer than sent")
        << "/pdf/3.pdf?fault=short" << 200 << QByteArray() << true << true;
    QTest::newRow("reset") << "/pdf/3.pdf?fault=reset" << 200 << QByteArray() << false << true;
    QTest::newRow("redirect") << "/pdf/3.pdf?fault=redirect" << 302 << QByteArray() << true
                              << false;
    QTest::newRow("refused") << "/pdf/3.pdf?fault=403" << 403 << QByteArray("<!DOCTYPE html>")
                             << true << true;
    QTest::newRow("too many") << "/pdf/3.pdf?fault=429" << 429 << QByteArray("<!DOCTYPE html>")
                              << true << true;
    QTest::newRow("login page instead of the file")
        << "/secure/3.pdf" << 200 << QByteArray("<!DOCTYPE html>") << true << false;
    QTest::newRow("slow but whole") << "/pdf/3.pdf?fault=slow&chunk=200&interval=5" << 200
                                    << QByteArray("%PDF") << true << false;
    QTest::newRow("big file") << "/pdf/3.pdf?size=300000" << 200 << QByteArray("%PDF") << true
                              << false;
}

void tst_TestSite::answers()
{
    QFETCH(QString, path);
    QFETCH(int, status);
    QFETCH(QByteArray, bodyStart);
    QFETCH(bool, lengthAnnounced);
    QFETCH(bool, fails);
    const Answer a = get(path);
    if (status != 200 || !fails) {
        QCOMPARE(a.status, status);
    }
    QCOMPARE(a.error != QNetworkReply::NoError, fails);
    QVERIFY2(a.body.startsWith(bodyStart), a.body.left(40).constData());
    if (!fails) {
        QCOMPARE(a.length.isValid(), lengthAnnounced);
        if (lengthAnnounced && status == 200) {
            QCOMPARE(a.length.toLongLong(), a.body.size());
        }
    }
    if (path.contains("size=300000")) {
        QVERIFY(a.body.size() >= 300000);
        QVERIFY(a.body.trimmed().endsWith("%%EOF"));
    }
}

void tst_TestSite::stallKeepsTheConnectionOpen()
{
    const Answer a = get("/pdf/3.pdf?fault=stall&after=100", 700);
    QCOMPARE(a.error, QNetworkReply::OperationCanceledError); // the transfer timeout gave up
    QCOMPARE(a.length.toLongLong() > 100, true);
}

QTEST_GUILESS_MAIN(tst_TestSite)
#include "tst_testsite.moc"
