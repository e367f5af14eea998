#include "browserpage.h"
#include "browsersession.h"
#include "common/urltext.h"
#include "http/sessionnetwork.h"
#include "search/staticdom.h"
#include "support/webenginetest.h"
#include "testsite.h"

#include <QCoro/QCoroTask>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEngineView>

using namespace harvly;
using namespace std::chrono_literals;

class tst_BrowserPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void snapshotAgreesWithStaticTree_data();
    void snapshotAgreesWithStaticTree();
    void scriptAddedResultsAreReadOnceThere();
    void newWindowsStayInTheView_data();
    void newWindowsStayInTheView();
    void pageCannotCloseTheBrowser();
    void scriptDialogsAreSilent();
    void browserLoginServesPageFetches();
    void cookiesOfTheProgramsFetchesReachTheBrowser();

private:
    bool load(const QString &path);
    const DomNode *byId(const DomDocument &doc, const QString &id) { return doc.elementById(id); }

    QTemporaryDir m_dir;
    testsite::TestSite m_site;
    SessionNetwork m_network;
    std::unique_ptr<BrowserSession> m_session;
    std::unique_ptr<QWebEngineView> m_view;
    BrowserPage *m_page = nullptr;
};

void tst_BrowserPage::initTestCase()
{
    QVERIFY(m_site.start());
    m_session = std::make_unique<BrowserSession>(m_dir.filePath("profile"), m_network);
    m_view = std::make_unique<QWebEngineView>();
    m_page = new BrowserPage(m_session->profile(), m_view.get());
    m_view->setPage(m_page);
    m_view->resize(1024, 768);
    m_view->show();
}

void tst_BrowserPage::cleanupTestCase()
{
    m_view->setPage(nullptr);
    delete m_page;
    m_view.reset();
    m_session.reset();
}

bool tst_BrowserPage::load(const QString &path)
{
    QSignalSpy done(m_page, &BrowserPage::documentComplete);
    m_page->navigate(m_site.url(path));
    return done.wait(30000) && !m_page->isBusy();
}

void tst_BrowserPage::snapshotAgreesWithStaticTree_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("content areas") << "/search?q=soil&layout=1";
    QTest::newRow("titles and links apart") << "/search?q=soil&layout=2&page=2";
    QTest::newRow("items") << "/search?q=soil&layout=3&page=3";
    QTest::newRow("document page") << "/docview/4";
    QTest::newRow("embedded document") << "/docview/4/fulltextPDF";
}

void tst_BrowserPage::snapshotAgreesWithStaticTree()
{
    QFETCH(QString, path);
    QVERIFY(load(path));
    const DomDocument live = QCoro::waitFor(m_page->snapshot());
    QVERIFY(!live.isEmpty());
    const QString html = QCoro::waitFor(GetUrlText(&m_network, m_site.url(path), "utf-8"));
    const DomDocument parsed = ParseHtmlDocument(html, m_site.url(path).toString());

    QCOMPARE(live.url, m_site.url(path).toString());
    QVERIFY(live.outerHtml.contains("</body>"));
    for (const QString tag : {"A", "DIV", "H1", "INPUT"}) {
        const auto a = live.elementsByTagName(tag);
        const auto b = parsed.elementsByTagName(tag);
        QCOMPARE(a.size(), b.size());
        for (qsizetype i = 0; i < a.size(); ++i) {
            QCOMPARE(a[i]->className, b[i]->className);
            QCOMPARE(a[i]->id, b[i]->id);
            QCOMPARE(a[i]->href, b[i]->href);
            QCOMPARE(a[i]->path(), b[i]->path());
            if (tag != "DIV") {
                QCOMPARE(a[i]->innerText().trimmed(), b[i]->innerText().trimmed());
            }
        }
    }
    QCOMPARE(live.links().size(), parsed.links().size());
}

void tst_BrowserPage::scriptAddedResultsAreReadOnceThere()
{
    QVERIFY(load("/search?q=late&layout=4&delay=800"));
    const auto records = [](const DomDocument &d) {
        int n = 0;
        for (const DomNode *div : d.elementsByTagName("div")) {
            n += div->className.toLower() == "contentarea";
        }
        return n;
    };
    const DomDocument early = QCoro::waitFor(m_page->snapshot());
    QCOMPARE(records(early), 0);
    const DomDocument later = QCoro::waitFor(
        m_page->snapshotWhen([&records](const DomDocument &d) { return records(d) > 0; }, 10s));
    QCOMPARE(records(later), 10);
}

void tst_BrowserPage::newWindowsStayInTheView_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("expectedPath");
    QTest::newRow("link with target _blank") << "blank"
                                             << "/docview/1";
    QTest::newRow("window.open") << "open"
                                 << "/docview/2";
}

void tst_BrowserPage::newWindowsStayInTheView()
{
    QFETCH(QString, button);
    QFETCH(QString, expectedPath);
    QVERIFY(load("/popup"));
    const DomDocument doc = QCoro::waitFor(m_page->snapshot());
    QVERIFY(byId(doc, button));
    QSignalSpy redirected(m_page, &BrowserPage::newWindowRedirected);
    QSignalSpy done(m_page, &BrowserPage::documentComplete);
    QVERIFY(QCoro::waitFor(m_page->click(byId(doc, button)->path())));
    QTRY_COMPARE_WITH_TIMEOUT(m_page->url().path(), expectedPath, 20000);
    QCOMPARE(redirected.size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 20000); // the redirected page completed here
    QVERIFY(!m_page->isBusy());
    QCOMPARE(QApplication::topLevelWidgets().size(), 1);
    // Back returns to the page that opened the window.
    m_page->triggerAction(QWebEnginePage::Back);
    QTRY_COMPARE_WITH_TIMEOUT(m_page->url().path(), QString("/popup"), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->isBusy(), 20000); // settled before the next test loads
}

void tst_BrowserPage::pageCannotCloseTheBrowser()
{
    QVERIFY(load("/popup"));
    const DomDocument doc = QCoro::waitFor(m_page->snapshot());
    QVERIFY(QCoro::waitFor(m_page->click(byId(doc, "close")->path())));
    QTest::qWait(300);
    QVERIFY(m_view->isVisible());
    QCOMPARE(m_view->page(), m_page);
    QCOMPARE(m_page->url().path(), QString("/popup"));
    QVERIFY(!QCoro::waitFor(m_page->snapshot()).isEmpty());
}

void tst_BrowserPage::scriptDialogsAreSilent()
{
    QVERIFY(load("/popup"));
    const DomDocument doc = QCoro::waitFor(m_page->snapshot());
    QVERIFY(QCoro::waitFor(m_page->click(byId(doc, "alert")->path())));
    // The alert returned at once, so the script went on.
    QTRY_COMPARE_WITH_TIMEOUT(m_page->title(), QString("after alert"), 10000);
}

void tst_BrowserPage::browserLoginServesPageFetches()
{
    const QUrl account = m_site.url("/account");
    QVERIFY(!QCoro::waitFor(GetUrlText(&m_network, account, "utf-8")).contains("Welcome, member"));

    QVERIFY(load("/login"));
    DomDocument form = QCoro::waitFor(m_page->snapshot());
    const DomNode *user = nullptr;
    const DomNode *pass = nullptr;
    const DomNode *submit = nullptr;
    for (const DomNode *input : form.elementsByTagName("input")) {
        if (input->name == "username") {
            user = input;
        } else if (input->name == "password") {
            pass = input;
        } else if (input->type == "submit" && input->id.isEmpty() && !submit) {
            submit = input;
        }
    }
    QVERIFY(user && pass && submit);
    QVERIFY(QCoro::waitFor(m_page->setValue(user->path(), "reader")));
    QVERIFY(QCoro::waitFor(m_page->setValue(pass->path(), "secret")));
    QVERIFY(QCoro::waitFor(m_page->click(submit->path())));
    QTRY_COMPARE_WITH_TIMEOUT(m_page->url().path(), QString("/account"), 20000);

    // The session cookie is HttpOnly: only the mirror can have brought it over.
    QTRY_VERIFY_WITH_TIMEOUT(
        QCoro::waitFor(GetUrlText(&m_network, account, "utf-8")).contains("Welcome, member"),
        10000);
    QVERIFY(m_site.requests().last().startsWith("GET /account"));
}

void tst_BrowserPage::cookiesOfTheProgramsFetchesReachTheBrowser()
{
    // A download or page fetch of the program is given a cookie (HttpOnly, as sessions are) ...
    QCoro::waitFor(GetUrlText(&m_network, m_site.url("/setcookie?name=ticket&value=t42"), "utf-8"));
    // ... and the browser sends it too: one session both ways.
    QTRY_VERIFY_WITH_TIMEOUT(load("/cookies") && QCoro::waitFor(m_page->snapshot())
                                                     .elementById("cookies")
                                                     ->innerText()
                                                     .contains("ticket=t42"),
                             10000);
}

HARVLY_WEBENGINE_TEST_MAIN(tst_BrowserPage)
#include "tst_browserpage.moc"
