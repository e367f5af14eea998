#include "common/urltext.h"
#include "support/cannedhttpserver.h"

#include <QCoro/QCoroTask>
#include <QNetworkAccessManager>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTest>

using namespace harvly;

class tst_UrlText : public QObject
{
    Q_OBJECT

private slots:
    void bytesToText_data();
    void bytesToText();
    void fetch_data();
    void fetch();
    void nothingListeningGivesEmptyText();
    void onlyWebAddressesAreRead_data();
    void onlyWebAddressesAreRead();

private:
    QString fetchNow(const QUrl &url, const QString &charset)
    {
        return QCoro::waitFor(GetUrlText(&m_network, url, charset));
    }
    QNetworkAccessManager m_network;
    CannedHttpServer m_server;
};

void tst_UrlText::bytesToText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("charset");
    QTest::addColumn<QString>("text");

    QTest::newRow("utf-8") << QByteArray("论文 a") << "utf-8"
                           << "论文 a";
    QTest::newRow("utf-8 byte-order mark dropped") << QByteArray("\xEF\xBB\xBFok") << "UTF-8"
                                                   << "ok";
    QTest::newRow("latin-1") << QByteArray("caf\xE9") << "iso-8859-1"
                             << "café";
    QTest::newRow("no charset: utf-8") << QByteArray("论文") << ""
                                       << "论文";
    QTest::newRow("no charset, UTF-16 mark") << QByteArray("\xFF\xFEh\0i\0", 6) << ""
                                             << "hi";
    QTest::newRow("unknown charset: nothing") << QByteArray("abc") << "no-such-set"
                                              << "";
}

void tst_UrlText::bytesToText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, charset);
    QFETCH(QString, text);
    QCOMPARE(BytesToText(bytes, charset), text);
}

void tst_UrlText::fetch_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QString>("charset");
    QTest::addColumn<QString>("text");

    m_server.add("/page", 200, "text/html", "<html>文献 <a id=\"downloadPDFLink\">x</a></html>");
    QTest::newRow("page as utf-8") << QByteArray("/page") << "utf-8"
                                   << "<html>文献 <a id=\"downloadPDFLink\">x</a></html>";
    QStringEncoder gbk("GB18030");
    if (gbk.isValid()) {
        m_server.add("/gbk", 200, "text/html", gbk.encode(QString("中文页面")));
        QTest::newRow("page in the caller's charset") << QByteArray("/gbk") << "GB18030"
                                                      << "中文页面";
    }
    m_server.add("/missing", 404, "text/html", "<p>not here</p>");
    QTest::newRow("error page text still arrives") << QByteArray("/missing") << "utf-8"
                                                   << "<p>not here</p>";
}

void tst_UrlText::fetch()
{
    QFETCH(QByteArray, path);
    QFETCH(QString, charset);
    QFETCH(QString, text);
    QCOMPARE(fetchNow(m_server.url(path), charset), text);
}

void tst_UrlText::nothingListeningGivesEmptyText()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    QCOMPARE(fetchNow(QUrl(QString("http://127.0.0.1:%1/").arg(port)), "utf-8"), QString());
    QCOMPARE(fetchNow(QUrl(), "utf-8"), QString());
}

void tst_UrlText::onlyWebAddressesAreRead_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("a local file") << "file:///etc/hostname";
    QTest::newRow("a data address") << "data:text/html,<p>hello";
    QTest::newRow("ftp") << "ftp://127.0.0.1/x";
}

void tst_UrlText::onlyWebAddressesAreRead()
{
    QFETCH(QString, address);
    QNetworkAccessManager network;
    const std::optional<QString> text =
        QCoro::waitFor(FetchUrlText(&network, QUrl(address), "utf-8"));
    QVERIFY(!text.has_value());
}

QTEST_GUILESS_MAIN(tst_UrlText)
#include "tst_urltext.moc"
