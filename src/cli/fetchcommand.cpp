#include "fetchcommand.h"

#include "cliargs.h"
#include "cliweb.h"
#include "common/files.h"
#include "common/urltext.h"
#include "cookieoption.h"
#include "downloadcommand.h"
#include "http/sessionnetwork.h"
#include "search/articleanalysis.h"
#include "search/bulkrun.h"
#include "search/harvest.h"
#include "search/resultlist.h"
#include "search/staticdom.h"
#include "stopsignals.h"

#include <QCoro/QCoroTask>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <QTextStream>

#include <optional>

namespace harvly {

namespace {

struct Options {
    QString start;       // the result page
    QString bulkFile;    // or the document pages and DOIs of a list
    QString stateFile;   // the download list's store; the walk is kept beside it
    QString cookiesFile; //
    int pages = 1;
    bool allPages = false;
    int delay = 0;
    bool withHtm = false;
    bool quiet = false; // no progress, only the result lines
    bool web = false;   // result pages loaded in an offscreen browser (rows a script adds)
    QString doiResolver = kDefaultDoiResolver;
    QStringList downloadArgs;
};

// How far a fetch came: the pages harvested, the page to go on from, the result rows with
// their analysis, the documents handed over. Kept beside the download list's store.
struct Walk {
    QStringList pages;
    QString next;
    bool bulkDone = false;
    QList<DownloadJob> jobs;
};

QString walkFile(const Options &o)
{
    return o.stateFile.isEmpty() ? QString() : o.stateFile + QStringLiteral(".fetch");
}

void saveWalk(const Options &o, const Walk &walk, const ResultListModel &results)
{
    if (o.stateFile.isEmpty()) {
        return;
    }
    QJsonArray rows;
    for (int i = 0; i < results.size(); ++i) {
        const ResultRow &r = results.at(i);
        QJsonObject row{{"title", r.title},
                        {"key", r.key},
                        {"fileType", r.fileType},
                        {"type", r.type},
                        {"tag", r.tag},
                        {"savePath", r.savePath},
                        {"analysis", int(r.analysisState)}};
        InsertRecord(row, r.record, QStringLiteral("recordPdf"));
        rows.append(row);
    }
    QJsonArray jobs;
    for (const DownloadJob &j : walk.jobs) {
        QJsonObject job{
            {"url", j.url}, {"title", j.title}, {"type", j.type}, {"referer", j.referer}};
        InsertRecord(job, j.record, QStringLiteral("recordPdf"));
        jobs.append(job);
    }
    const QJsonObject root{{"version", 1},      {"pages", QJsonArray::fromStringList(walk.pages)},
                           {"next", walk.next}, {"bulkDone", walk.bulkDone},
                           {"results", rows},   {"jobs", jobs}};
    QSaveFile f(walkFile(o));
    if (f.open(QIODevice::WriteOnly)) {
        f.write(QJsonDocument(root).toJson(QJsonDocument::Compact));
        f.commit();
    }
}

// The walk of an earlier run of the same command, if one was kept.
std::optional<Walk> loadWalk(const Options &o, ResultListModel &results)
{
    QFile f(walkFile(o));
    if (o.stateFile.isEmpty() || !f.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QJsonObject root = QJsonDocument::fromJson(f.readAll()).object();
    if (root.value("version").toInt() != 1) {
        return std::nullopt;
    }
    Walk walk;
    for (const QJsonValue &p : root.value("pages").toArray()) {
        walk.pages << p.toString();
    }
    walk.next = root.value("next").toString();
    walk.bulkDone = root.value("bulkDone").toBool();
    for (const QJsonValue &v : root.value("results").toArray()) {
        const QJsonObject r = v.toObject();
        const int state = r.value("analysis").toInt();
        if (results.AddToLV1(r.value("title").toString(), r.value("key").toString(),
                             r.value("tag").toString(), r.value("fileType").toString(),
                             r.value("savePath").toString(), r.value("type").toString(),
                             RecordIn(r, QStringLiteral("recordPdf"))) &&
            state >= 0 && state <= 2) {
            results.setAnalysisState(results.at(results.size() - 1).id, Analysis(state));
        }
    }
    for (const QJsonValue &v : root.value("jobs").toArray()) {
        const QJsonObject j = v.toObject();
        walk.jobs << DownloadJob{j.value("url").toString(), j.value("title").toString(),
                                 j.value("type").toString(), j.value("referer").toString(),
                                 RecordIn(j, QStringLiteral("recordPdf"))};
    }
    return walk;
}

// The analysis hands each document over into the walk, which is kept at once.
class FetchHost final : public AnalysisHost
{
public:
    FetchHost(const Options &o, Walk &walk, const ResultListModel &results, QTextStream &err)
        : m_o(o), m_walk(walk), m_results(results), m_err(err)
    {
    }
    void handOver(const QString &url, const QString &title, const QString &fileType,
                  const QString &ref, const QString &, SharedRecord record) override
    {
        m_walk.jobs << DownloadJob{url, title, fileType, ref, std::move(record)};
        saveWalk(m_o, m_walk, m_results);
    }
    void showProgress(const QString &text) override
    {
        if (!m_o.quiet) {
            m_err << text << '\n';
            m_err.flush();
        }
        saveWalk(m_o, m_walk, m_results); // the row analysed before is kept with its state
    }
    void setProgressVisible(bool) override {}
    void clearBrowserCache() override {}
    void tellAnalysisFailed(const QString &message) override { m_err << message << '\n'; }
    QCoro::Task<bool> askSavePath() override { co_return true; }
    bool promptsWhileHarvesting() const override { return true; }
    void showDownloadWindow() override {}
    void stopAutomaticAnalysis() override {}
    std::chrono::seconds delay() const override { return std::chrono::seconds(m_o.delay); }

private:
    const Options &m_o;
    Walk &m_walk;
    const ResultListModel &m_results;
    QTextStream &m_err;
};

// A result page as a document: its HTML text read, or (web) loaded in the offscreen browser
// and taken once it shows something to harvest.
QCoro::Task<std::optional<DomDocument>> loadPage(QString page, QNetworkAccessManager *network,
                                                 CliWebPage *browser)
{
    if (browser) {
        QCoro::Task<std::optional<DomDocument>> open = browser->openResultPage(QUrl(page));
        co_return co_await open;
    }
    QCoro::Task<std::optional<QString>> fetch =
        FetchUrlText(network, QUrl(page), QStringLiteral("utf-8"));
    const std::optional<QString> html = co_await fetch;
    if (!html) {
        co_return std::nullopt;
    }
    co_return ParseHtmlDocument(*html, page);
}

// The result pages as "Add all pages to list" walks them: each page's rows, then the page its
// next-page link names, a pause between two; a page seen before ends the walk.
QCoro::Task<bool> harvestPages(Options o, Walk *walk, ResultListModel *results,
                               QNetworkAccessManager *network, CliWebPage *browser,
                               StopSource *stop)
{
    QString page = walk->pages.isEmpty() ? o.start : walk->next;
    const int limit = o.allPages ? 1000 : o.pages;
    QTextStream err(stderr);
    while (!page.isEmpty() && int(walk->pages.size()) < limit && !stop->isStopped()) {
        QCoro::Task<std::optional<DomDocument>> load = loadPage(page, network, browser);
        const std::optional<DomDocument> loaded = co_await load;
        if (!loaded) {
            err << "fetch: cannot load " << page << '\n';
            co_return false;
        }
        const DomDocument &doc = *loaded;
        HarvestOptions options;
        options.withHtm = o.withHtm;
        const int before = results->size();
        HarvestCurrentPage(doc, *results, options);
        if (!o.quiet) {
            err << "fetch: " << page << ": " << results->size() - before << " rows\n";
        }
        walk->pages << page;
        const DomNode *next = FindNextPageLink(doc);
        walk->next = next && !walk->pages.contains(next->href) ? next->href : QString();
        saveWalk(o, *walk, *results);
        page = walk->next;
        if (!page.isEmpty() && int(walk->pages.size()) < limit) {
            QCoro::Task<bool> pause = WaitUnlessStopped(stop, std::chrono::seconds(2));
            co_await pause;
        }
    }
    co_return true;
}

// How the walk ended: with a status to exit with, or with the documents to download.
struct Outcome {
    std::optional<int> status;
    QList<DownloadJob> jobs;
};

QCoro::Task<Outcome> fetch(Options o)
{
    QTextStream err(stderr);
    SessionNetwork network;
    if (!LoadCookiesOption(o.cookiesFile, *network.cookies(), err, "fetch")) {
        co_return Outcome{2, {}};
    }
    ResultListModel results;
    Walk walk = loadWalk(o, results).value_or(Walk{});
    int stoppedBy = 0;
    StopSource stop;
    FetchHost host(o, walk, results, err);
    ArticleAnalysis analysis(results, network, host, Build::english());
    BulkUrlRun bulk;
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::received, &stop, [&](int signal) {
        stoppedBy = signal;
        stop.stop();
        bulk.stop();
        analysis.Stop();
    });
    if (!o.bulkFile.isEmpty() && !walk.bulkDone) {
        QFile in;
        if (!OpenFileOrStandardInput(in, o.bulkFile)) {
            err << "fetch: cannot read " << o.bulkFile << ": " << in.errorString() << '\n';
            co_return Outcome{2, {}};
        }
        bulk.doiResolver = o.doiResolver;
        QPointer<QNetworkAccessManager> n(&network);
        QPointer<ResultListModel> l(&results);
        QPointer<BulkUrlRun> r(&bulk);
        BulkUrlRun::Analyse add = [n, l, r](QString address) {
            return AddByDownloadMethod(n, l, HarvestOptions{}, address, r);
        };
        QCoro::Task<BulkRunResult> run =
            bulk.run(QString::fromUtf8(in.readAll()), add, std::chrono::seconds(o.delay));
        co_await run;
        walk.bulkDone = stoppedBy == 0;
        saveWalk(o, walk, results);
    } else if (o.bulkFile.isEmpty()) {
        std::unique_ptr<CliWebPage> browser;
        if (o.web) {
            browser = MakeCliWebPage(network);
            if (!browser) {
                err << "fetch: --web needs the browser engine, which this program does not have\n";
                co_return Outcome{2, {}};
            }
        }
        QCoro::Task<bool> pages = harvestPages(o, &walk, &results, &network, browser.get(), &stop);
        if (!co_await pages) {
            co_return Outcome{1, {}};
        }
    }
    if (results.size() == 0 && walk.jobs.isEmpty()) {
        err << "fetch: " << (o.bulkFile.isEmpty() ? o.start : o.bulkFile)
            << " gave no result row\n";
        co_return Outcome{1, {}};
    }
    if (stoppedBy == 0) {
        QCoro::Task<> pass = analysis.runPass(AnalysisPass::Unanalyzed, {});
        co_await pass;
        saveWalk(o, walk, results);
    }
    SaveCookiesOption(o.cookiesFile, *network.cookies(), err, "fetch");
    if (stoppedBy != 0) {
        co_return Outcome{128 + stoppedBy, {}};
    }
    co_return Outcome{std::nullopt, walk.jobs};
}

std::optional<Options> parse(const QStringList &args, QTextStream &err)
{
    const CliCommand &command = *FindCliCommand("fetch");
    QString error;
    const std::optional<CliArgs> parsed = ParseCliArgs(command, args, &error);
    const auto refuse = [&](const QString &why) {
        err << "fetch: " << why << '\n' << CliUsage(command);
        return std::nullopt;
    };
    if (!parsed) {
        return refuse(error);
    }
    Options o;
    // The download options go on to the download run as they were given.
    const CliCommand &download = *FindCliCommand("download");
    for (const auto &[name, value] : parsed->given) {
        for (const CliOption &option : download.options) {
            if (name == QLatin1String(option.name) && name != QLatin1String("--list")) {
                o.downloadArgs << name;
                if (option.value != CliValue::None) {
                    o.downloadArgs << value;
                }
            }
        }
    }
    o.stateFile = parsed->value("--state");
    o.cookiesFile = parsed->value("--cookies");
    o.bulkFile = parsed->value("--bulk");
    o.allPages = parsed->has("--all-pages");
    o.withHtm = parsed->has("--with-htm");
    o.quiet = parsed->has("--quiet");
    o.web = parsed->has("--web");
    if (parsed->has("--doi-resolver")) {
        o.doiResolver = parsed->value("--doi-resolver");
    }
    if (parsed->has("--pages")) {
        const std::optional<int> pages = CliNumber(parsed->value("--pages"), 1, 10000);
        if (!pages) {
            return refuse(QStringLiteral("--pages takes 1 to 10000"));
        }
        o.pages = *pages;
    }
    if (parsed->has("--delay")) {
        const std::optional<int> delay = CliNumber(parsed->value("--delay"), 0, 600);
        if (!delay) {
            return refuse(QStringLiteral("--delay takes 0 to 600 seconds"));
        }
        o.delay = *delay;
    }
    if (!parsed->has("--dest")) {
        return refuse(QStringLiteral("--dest is needed"));
    }
    if (o.bulkFile.isEmpty() == parsed->operands.isEmpty() || parsed->operands.size() > 1) {
        return refuse(QStringLiteral("give one result page or --bulk FILE"));
    }
    o.start = parsed->operands.value(0);
    return o;
}

} // namespace

bool FetchNeedsBrowser(const QStringList &args)
{
    return args.mid(0, args.indexOf(QLatin1String("--"))).contains(QLatin1String("--web"));
}

int RunFetchCommand(const QStringList &args)
{
    QTextStream err(stderr);
    const std::optional<Options> o = parse(args, err);
    if (!o) {
        return 2;
    }
    const Outcome outcome = QCoro::waitFor(fetch(*o));
    // The download run has its own event loop: it starts once the walk's has ended.
    return outcome.status ? *outcome.status : RunDownloadJobs(o->downloadArgs, outcome.jobs);
}

} // namespace harvly
