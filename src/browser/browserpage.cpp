#include "browserpage.h"

#include "common/signalwait.h"
#include "search/snapshotjson.h"

#include <QCoro/QCoroTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QTimer>
#include <QWebEngineScript>

namespace harvly {

namespace {

constexpr std::chrono::seconds kScriptLimit(15);

const QString &walkerScript()
{
    static const QString script = [] {
        QFile f(QStringLiteral(":/browser/domwalker.js"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }();
    return script;
}

QString pathLiteral(const QList<int> &path)
{
    QStringList parts;
    for (const int i : path) {
        parts << QString::number(i);
    }
    return QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
}

// Scripts are built outside the coroutines: GCC 12 cannot take string literals there.
// The click runs after the script has answered, since a click that navigates would take the
// answer with it.
QString clickScript(const QList<int> &path)
{
    return QStringLiteral(
               "(function(p){let e=document.documentElement;for(const i of p){if(!e)"
               "return false;e=e.children[i];}if(!e)return false;setTimeout(()=>e.click(),0);"
               "return true;})(%1)")
        .arg(pathLiteral(path));
}

QString setValueScript(const QList<int> &path, const QString &value)
{
    const QString quoted =
        QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact))
            .mid(1)
            .chopped(1);
    return QStringLiteral(
               "(function(p,v){let e=document.documentElement;for(const i of p){if(!e)"
               "return false;e=e.children[i];}if(!e||!('value' in e))return false;"
               "e.value=v;e.dispatchEvent(new Event('input',{bubbles:true}));"
               "e.dispatchEvent(new Event('change',{bubbles:true}));return true;})(%1,%2)")
        .arg(pathLiteral(path), quoted);
}

// Carries a script's result from the browser's callback to the waiting coroutine.
class ScriptResult final : public QObject
{
    Q_OBJECT
signals:
    void ready(const QVariant &value);
};

} // namespace

BrowserPage::BrowserPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    // Loads are counted, so the end of an old load that a new navigation cut short does not
    // pass for the end of the new one.
    connect(this, &QWebEnginePage::loadStarted, this, [this] {
        m_navigationRequested = false;
        ++m_loadsRunning;
    });
    connect(this, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (m_loadsRunning > 0) {
            --m_loadsRunning;
        } else {
            m_navigationRequested = false; // ours failed before it could start
        }
        if (!isBusy()) {
            emit documentComplete(url(), ok);
        }
    });
    connect(this, &QWebEnginePage::linkHovered, this, &BrowserPage::setStatusText);
    // A page may ask to close its window; the browser stays.
    connect(this, &QWebEnginePage::windowCloseRequested, this, [] {});
}

void BrowserPage::navigate(const QUrl &url)
{
    m_navigationRequested = true;
    load(url);
}

void BrowserPage::setStatusText(const QString &text)
{
    if (text != m_statusText) {
        m_statusText = text;
        emit statusTextChanged(text);
    }
}

bool BrowserPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    Q_UNUSED(type)
    if (isMainFrame) {
        emit beforeNavigate(url);
    }
    return true;
}

QWebEnginePage *BrowserPage::createWindow(WebWindowType type)
{
    Q_UNUSED(type)
    // Whatever a page opens in a new window is shown here instead, as a navigation of this
    // page, so Back returns to the page that opened it. A hidden page of the same session
    // takes the new window's first address and hands it over.
    auto *catcher = new NewWindowCatcher(profile(), this);
    connect(catcher, &NewWindowCatcher::caught, this, [this](const QUrl &url) {
        emit newWindowRedirected();
        navigate(url);
    });
    return catcher;
}

NewWindowCatcher::NewWindowCatcher(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    // A window opened without an address never navigates: it goes after a while.
    QTimer::singleShot(std::chrono::seconds(30), this, &QObject::deleteLater);
}

bool NewWindowCatcher::acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame)
{
    if (isMainFrame && !m_caught && !url.isEmpty() &&
        url.toString().compare(QLatin1String("about:blank"), Qt::CaseInsensitive) != 0) {
        m_caught = true;
        emit caught(url);
        deleteLater();
    }
    return false;
}

void BrowserPage::javaScriptAlert(const QUrl &, const QString &) {}

bool BrowserPage::javaScriptConfirm(const QUrl &, const QString &)
{
    return false;
}

bool BrowserPage::javaScriptPrompt(const QUrl &, const QString &, const QString &, QString *)
{
    return false;
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int,
                                           const QString &)
{
}

QCoro::Task<QVariant> BrowserPage::evaluate(QString script)
{
    QPointer<BrowserPage> self(this);
    auto carrier = std::make_unique<ScriptResult>();
    QPointer<ScriptResult> target(carrier.get());
    runJavaScript(script, QWebEngineScript::ApplicationWorld, [target](const QVariant &v) {
        if (target) {
            emit target->ready(v);
        }
    });
    auto ready = waitForSignal(carrier.get(), &ScriptResult::ready, kScriptLimit);
    const auto result = co_await ready;
    co_return result ? std::get<0>(*result) : QVariant();
}

QCoro::Task<DomDocument> BrowserPage::snapshot()
{
    QCoro::Task<QVariant> run = evaluate(walkerScript());
    const QVariant json = co_await run;
    co_return DocumentFromSnapshot(json.toString().toUtf8());
}

QCoro::Task<DomDocument> BrowserPage::snapshotWhen(std::function<bool(const DomDocument &)> ready,
                                                   std::chrono::milliseconds timeout,
                                                   std::chrono::milliseconds interval)
{
    QPointer<BrowserPage> self(this);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    DomDocument doc = co_await snapshot();
    while (self && !ready(doc) && std::chrono::steady_clock::now() < deadline) {
        co_await QCoro::sleepFor(interval);
        if (!self) {
            break;
        }
        doc = co_await self->snapshot();
    }
    co_return doc;
}

QCoro::Task<bool> BrowserPage::click(QList<int> path)
{
    QCoro::Task<QVariant> run = evaluate(clickScript(path));
    const QVariant r = co_await run;
    co_return r.toBool();
}

QCoro::Task<bool> BrowserPage::setValue(QList<int> path, QString value)
{
    QCoro::Task<QVariant> run = evaluate(setValueScript(path, value));
    const QVariant r = co_await run;
    co_return r.toBool();
}

} // namespace harvly

#include "browserpage.moc"
