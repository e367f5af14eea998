#include "browserpage.h"
#include "browsersession.h"
#include "common/build.h"
#include "download/storelock.h"
#include "http/sessionnetwork.h"
#include "support/webenginetest.h"
#include "testsite.h"
#include "tools/cachefolders.h"

#include <QCoro/QCoroTask>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QNetworkCookieJar>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace harvly;

// The windows' browser cookie store and the command line, both ways: cookies imported from a
// cookies.txt are kept by the real browser, come out again, are sent by curl, and serve the
// program's own fetches when the windows start.
class tst_BrowserCookies : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void importedCookiesComeBackOut();
    void windowsStartWithTheStoredLogin();
    void importWaitsForTheWindowsToClose();

private:
    struct Run {
        int status;
        QByteArray out;
        QString err;
    };
    Run cli(const QStringList &args, const QString &workDir = QString())
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", m_dir.filePath("data"));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(workDir.isEmpty() ? m_dir.path() : workDir);
        p.start(HARVLY_CLI, QStringList{"cookies"} + args);
        QSignalSpy finished(&p, &QProcess::finished);
        finished.wait(120000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError())};
    }
    QString browserFolder() const
    {
        // The English program's, below the test's own data folder (set in initTestCase).
        return ProgramBrowserFolder(Build::english().applicationTitle);
    }

    testsite::TestSite m_site;
    QTemporaryDir m_dir;
    const qint64 m_expiry = QDateTime::currentSecsSinceEpoch() + 30 * 86400;
};

void tst_BrowserCookies::initTestCase()
{
    QVERIFY(m_site.start());
    qputenv("XDG_DATA_HOME", m_dir.filePath("data").toUtf8());
    QVERIFY(browserFolder().startsWith(m_dir.path()));
    QFile file(m_dir.filePath("in.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("# Netscape HTTP Cookie File\n\n"
               "#HttpOnly_127.0.0.1\tFALSE\t/\tFALSE\t0\tlogin\tmember\n"
               ".example.org\tTRUE\t/app\tTRUE\t" +
               QByteArray::number(m_expiry) +
               "\tpref\tzh-CN\n"
               "127.0.0.1\tFALSE\t/\tFALSE\t1000\tstale\tgone\n"
               "not a cookie line\n");
}

void tst_BrowserCookies::importedCookiesComeBackOut()
{
    const Run in = cli({"import", m_dir.filePath("in.txt")});
    QVERIFY2(in.status == 0, qPrintable(in.err));
    QVERIFY2(in.err.contains("2 of 2 cookies imported"), qPrintable(in.err));
    QVERIFY(in.err.contains("line 6: not a cookie"));
    QVERIFY(in.err.contains("1 expired cookies left out"));

    const Run out = cli({"export"});
    QCOMPARE(out.status, 0);
    QVERIFY2(out.out.contains("#HttpOnly_127.0.0.1\tFALSE\t/\tFALSE\t0\tlogin\tmember\n"),
             out.out.constData());
    QVERIFY(out.out.contains(".example.org\tTRUE\t/app\tTRUE\t" + QByteArray::number(m_expiry) +
                             "\tpref\tzh-CN\n"));
    QVERIFY(!out.out.contains("stale"));

    // Only one site's, into a file that only its owner reads; and curl sends it.
    const QString site = m_dir.filePath("site.txt");
    QCOMPARE(cli({"export", "--site", "127.0.0.1", site}).status, 0);
    QFile written(site);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray text = written.readAll();
    QVERIFY(text.contains("login") && !text.contains("pref"));
    QCOMPARE(written.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
             QFileDevice::Permissions());
    QProcess curl;
    curl.start("curl", {"-s", "-b", site, m_site.url("/cookies").toString()});
    QSignalSpy done(&curl, &QProcess::finished);
    QVERIFY(done.wait(30000));
    QVERIFY(curl.readAllStandardOutput().contains("login=member"));

    // The Chinese program's browser has no store yet.
    const Run zh = cli({"export", "--zh"});
    QCOMPARE(zh.status, 1);
    QVERIFY(zh.err.contains("cannot read the browser's cookies"));
}

void tst_BrowserCookies::windowsStartWithTheStoredLogin()
{
    // The program's fetches carry the browser's stored HttpOnly session from the start, before
    // any page has loaded: the browser itself does not report what an earlier run kept.
    SessionNetwork network;
    BrowserSession::PrepareNetwork(browserFolder(), network); // as the windows start
    const QByteArray agentBefore = network.userAgent();
    const int before = network.cookies()->cookiesForUrl(m_site.url("/cookies")).size();
    BrowserSession session(browserFolder(), network);
    // Before the browser starts, the program's fetches already send what they will after.
    QCOMPARE(agentBefore, network.userAgent());
    QCOMPARE(before, network.cookies()->cookiesForUrl(m_site.url("/cookies")).size());
    const QList<QNetworkCookie> sent = network.cookies()->cookiesForUrl(m_site.url("/cookies"));
    QVERIFY(std::any_of(sent.begin(), sent.end(), [](const QNetworkCookie &c) {
        return c.name() == "login" && c.value() == "member" && c.isHttpOnly();
    }));
    BrowserPage page(session.profile());
    QSignalSpy loaded(&page, &BrowserPage::documentComplete);
    page.navigate(m_site.url("/cookies"));
    QVERIFY(loaded.wait(30000));
    QVERIFY(QCoro::waitFor(page.snapshot())
                .elementById("cookies")
                ->innerText()
                .contains("login=member"));
}

void tst_BrowserCookies::importWaitsForTheWindowsToClose()
{
    StoreLock windows(browserFolder());
    QVERIFY(windows.acquire());
    const Run in = cli({"import", m_dir.filePath("in.txt")});
    QCOMPARE(in.status, 1);
    QVERIFY2(in.err.contains("close them first"), qPrintable(in.err));
}

HARVLY_WEBENGINE_TEST_MAIN(tst_BrowserCookies)
#include "tst_browsercookies.moc"
