// harvly-cli-web's side of the seam: the browser engine.
#include "cliweb.h"

#include "browserpage.h"
#include "browsersession.h"
#include "common/signalwait.h"
#include "http/sessionnetwork.h"
#include "pagewait.h"
#include "search/harvest.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

#include <unistd.h>

namespace harvly {

namespace {

// The offscreen browser needs a few things said before the application exists.
void prepareOffscreenBrowser()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1"); // Chromium refuses root with its sandbox
    }
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS")) {
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking "
                                              "--disable-component-update --disable-sync");
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Standard output carries the rows; the browser's start-up report is no use here.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
}

QString browserFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
           QStringLiteral("/browser");
}

class WebPage final : public CliWebPage
{
public:
    explicit WebPage(SessionNetwork &network)
        : m_session(browserFolder(), network), m_page(m_session.profile())
    {
    }

    QCoro::Task<std::optional<DomDocument>> open(QUrl address, QPointer<StopSource> stop) override
    {
        QCoro::Task<bool> open = OpenWebPage(&m_page, address, PageWaitLimits{}, stop);
        if (!co_await open) {
            co_return std::nullopt;
        }
        QCoro::Task<DomDocument> read = m_page.snapshot();
        co_return co_await read;
    }

    QCoro::Task<std::optional<DomDocument>> openResultPage(QUrl address) override
    {
        auto loaded =
            waitForSignal(&m_page, &BrowserPage::documentComplete, std::chrono::seconds(30));
        m_page.navigate(address);
        const auto result = co_await loaded;
        if (!result.has_value() || !std::get<1>(*result)) {
            co_return std::nullopt;
        }
        QCoro::Task<DomDocument> read =
            m_page.snapshotWhen(&HasHarvestableContent, std::chrono::seconds(3));
        co_return co_await read;
    }

private:
    BrowserSession m_session;
    BrowserPage m_page;
};

// The address a cookie comes from, as the browser's store wants one with each cookie.
QUrl originOf(const QNetworkCookie &cookie)
{
    QString host = cookie.domain();
    if (host.startsWith(QLatin1Char('.'))) {
        host.remove(0, 1);
    }
    QUrl url;
    url.setScheme(cookie.isSecure() ? QStringLiteral("https") : QStringLiteral("http"));
    url.setHost(host);
    url.setPath(cookie.path().isEmpty() ? QStringLiteral("/") : cookie.path());
    return url;
}

} // namespace

bool CliHasBrowser()
{
    return true;
}

std::unique_ptr<QCoreApplication> MakeCliApplication(int &argc, char **argv, bool browser)
{
    if (!browser) {
        return std::make_unique<QCoreApplication>(argc, argv);
    }
    prepareOffscreenBrowser();
    return std::make_unique<QGuiApplication>(argc, argv);
}

std::unique_ptr<CliWebPage> MakeCliWebPage(SessionNetwork &network)
{
    return std::make_unique<WebPage>(network);
}

// Waits up to ten seconds for the store to report the cookies taken. The store writes them to
// its file when the browser shuts down, at the end of the process: reading the file back
// before then finds nothing.
QCoro::Task<std::optional<QList<QNetworkCookie>>>
PutCookiesIntoBrowser(QString browserFolder, QList<QNetworkCookie> cookies)
{
    SessionNetwork network;
    BrowserSession session(browserFolder, network);
    BrowserPage page(session.profile());
    // The store takes cookies once the profile's network side is up: after a first load.
    auto loaded = waitForSignal(&page, &BrowserPage::documentComplete, std::chrono::seconds(30));
    page.navigate(QUrl(QStringLiteral("about:blank")));
    co_await loaded;
    QWebEngineCookieStore *store = session.profile()->cookieStore();
    QList<QNetworkCookie> added;
    QObject::connect(store, &QWebEngineCookieStore::cookieAdded, &page,
                     [&added](const QNetworkCookie &cookie) { added << cookie; });
    for (QNetworkCookie cookie : cookies) {
        const QUrl origin = originOf(cookie);
        if (!cookie.domain().startsWith(QLatin1Char('.'))) {
            cookie.setDomain(QString()); // host-only: given a domain, the store widens it
        }
        store->setCookie(cookie, origin);
    }
    for (int turn = 0; added.size() < cookies.size() && turn < 100; ++turn) {
        auto more = waitForSignal(store, &QWebEngineCookieStore::cookieAdded,
                                  std::chrono::milliseconds(100));
        co_await more;
    }
    co_return added;
}

} // namespace harvly
