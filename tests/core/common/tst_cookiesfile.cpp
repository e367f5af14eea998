#include "http/cookiesfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace harvly;

// Netscape cookies.txt as curl, wget and aria2 read and write it.
class tst_CookiesFile : public QObject
{
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    void writesWhatItReads();

private:
    QTemporaryDir m_dir;
};

void tst_CookiesFile::reads_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cookies"); // name=value@domain path secure httponly session
    QTest::addColumn<int>("warnings");
    QTest::addColumn<int>("expired");
    const QString future = QString::number(QDateTime::currentSecsSinceEpoch() + 86400);
    QTest::newRow("a cookie shared with subdomains")
        << QString(".example.org\tTRUE\t/\tFALSE\t" + future + "\tsid\tabc\n")
        << "sid=abc@.example.org / - -" << 0 << 0;
    QTest::newRow("host only, secure, a session cookie")
        << "example.org\tFALSE\t/app\tTRUE\t0\ts\tv\n"
        << "s=v@example.org /app secure - session" << 0 << 0;
    QTest::newRow("HttpOnly lines are cookies, other # lines comments")
        << "# Netscape HTTP Cookie File\n#HttpOnly_.example.org\tTRUE\t/\tFALSE\t0\th\t1\n"
           "#.example.org\tTRUE\t/\tFALSE\t0\tcommented\tout\n"
        << "h=1@.example.org / - httponly session" << 0 << 0;
    QTest::newRow("blank lines and CR LF") << "\r\n\nexample.org\tFALSE\t/\tFALSE\t0\ta\tb\r\n"
                                           << "a=b@example.org / - - session" << 0 << 0;
    QTest::newRow("bad lines warned of and skipped")
        << "example.org FALSE / FALSE 0 spaces notabs\nexample.org\tMAYBE\t/\tFALSE\t0\tx\ty\n"
           "example.org\tFALSE\t/\tFALSE\tsoon\tx\ty\nexample.org\tFALSE\t/\tFALSE\t0\tok\t1\n"
        << "ok=1@example.org / - - session" << 3 << 0;
    QTest::newRow("expired cookies dropped")
        << "example.org\tFALSE\t/\tFALSE\t1000\told\t1\nexample.org\tFALSE\t/\tFALSE\t0\tnew\t2\n"
        << "new=2@example.org / - - session" << 0 << 1;
    QTest::newRow("an empty value") << "example.org\tFALSE\t/\tFALSE\t0\tempty\t\n"
                                    << "empty=@example.org / - - session" << 0 << 0;
}

void tst_CookiesFile::reads()
{
    QFETCH(QString, text);
    QFETCH(QString, cookies);
    QFETCH(int, warnings);
    QFETCH(int, expired);
    const QString path = m_dir.filePath(QTest::currentDataTag());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
    f.close();
    const CookiesFileRead read = ReadCookiesFile(path);
    QVERIFY(read.opened);
    QStringList got;
    for (const QNetworkCookie &c : read.cookies) {
        got << QString("%1=%2@%3 %4 %5 %6 %7")
                   .arg(QString::fromUtf8(c.name()), QString::fromUtf8(c.value()), c.domain(),
                        c.path(), c.isSecure() ? "secure" : "-", c.isHttpOnly() ? "httponly" : "-",
                        c.isSessionCookie() ? "session" : "")
                   .trimmed();
    }
    QCOMPARE(got.join(';'), cookies);
    QCOMPARE(read.warnings.size(), warnings);
    QCOMPARE(read.expired, expired);
}

void tst_CookiesFile::writesWhatItReads()
{
    QNetworkCookie lasting("lasting", "1 2");
    lasting.setDomain(".example.org");
    lasting.setPath("/");
    lasting.setExpirationDate(QDateTime::currentDateTimeUtc().addDays(3));
    QNetworkCookie secret("secret", "x");
    secret.setDomain("login.example.org");
    secret.setPath("/app");
    secret.setSecure(true);
    secret.setHttpOnly(true);
    const QString path = m_dir.filePath("written.txt");
    QString error;
    QVERIFY(WriteCookiesFile(path, {lasting, secret}, &error));
    // The user's alone: mode 0600.
    const QFileDevice::Permissions mode = QFile::permissions(path);
    QVERIFY(mode.testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QCOMPARE(mode & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                     QFileDevice::WriteOther | QFileDevice::ExeOwner),
             QFileDevice::Permissions());
    const CookiesFileRead read = ReadCookiesFile(path);
    QCOMPARE(read.cookies.size(), 2);
    QCOMPARE(read.cookies.at(0).domain(), QString(".example.org"));
    QCOMPARE(read.cookies.at(0).value(), QByteArray("1 2"));
    QCOMPARE(read.cookies.at(0).expirationDate().toSecsSinceEpoch(),
             lasting.expirationDate().toSecsSinceEpoch());
    QVERIFY(read.cookies.at(1).isHttpOnly() && read.cookies.at(1).isSecure());
    QVERIFY(read.cookies.at(1).isSessionCookie());
    QCOMPARE(read.cookies.at(1).path(), QString("/app"));
}

QTEST_GUILESS_MAIN(tst_CookiesFile)
#include "tst_cookiesfile.moc"
