#include "bulkcommand.h"

#include "browserpage.h"
#include "browsersession.h"
#include "http/sessionnetwork.h"
#include "pagewait.h"
#include "search/bulkrun.h"
#include "search/resultlist.h"
#include "stopsignals.h"

#include <QFile>
#include <QStandardPaths>
#include <QTextStream>

#include <memory>
#include <optional>

namespace harvly {

namespace {

const char *const kUsage =
    "Usage: harvly-cli bulk [--web] [--delay S] FILE   (FILE - reads standard input)\n";

struct Options {
    bool web = false;
    int delay = 0;
    QString file;
};

// The web method for one address: the offscreen page loads it and its document is taken.
QCoro::Task<bool> addByWebMethod(QPointer<BrowserPage> page, QPointer<ResultListModel> list,
                                 QPointer<BulkUrlRun> run, QString address)
{
    std::function<bool()> stop = [run] { return !run || run->stopRequested(); };
    // The page wait ends on the run's stop.
    QPointer<StopSource> runStop(run ? run->stopSource() : nullptr);
    QCoro::Task<bool> open = OpenWebPage(page, QUrl(address), PageWaitLimits{}, runStop);
    const bool loaded = co_await open;
    if (!loaded || !page || stop()) {
        co_return false;
    }
    QCoro::Task<DomDocument> read = page->snapshot();
    const DomDocument doc = co_await read;
    co_return list && !stop() && ExtractSingleArticlePdfUrl(doc, *list, HarvestOptions{});
}

QCoro::Task<int> bulk(QString text, Options o)
{
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    SessionNetwork network;
    ResultListModel list;
    QObject::connect(&list, &QAbstractItemModel::rowsInserted, &list,
                     [&](const QModelIndex &, int first, int last) {
                         for (int i = first; i <= last; ++i) {
                             const ResultRow &r = list.at(i);
                             out << r.title << '\t' << r.key << '\t' << r.fileType << '\t' << r.tag
                                 << '\n';
                         }
                         out.flush();
                     });
    BulkUrlRun run;
    int stoppedBy = 0;
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::received, &run, [&](int signal) {
        stoppedBy = signal;
        run.stop();
    });
    QPointer<BulkUrlRun> r(&run);
    QPointer<ResultListModel> l(&list);
    std::unique_ptr<BrowserSession> session;
    std::unique_ptr<BrowserPage> page;
    BulkUrlRun::Analyse analyse;
    if (o.web) {
        session = std::make_unique<BrowserSession>(
            QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
                QStringLiteral("/browser"),
            network);
        page = std::make_unique<BrowserPage>(session->profile());
        QPointer<BrowserPage> p(page.get());
        analyse = [p, l, r](QString address) { return addByWebMethod(p, l, r, address); };
    } else {
        QPointer<QNetworkAccessManager> n(&network);
        analyse = [n, l, r](QString address) {
            return AddByDownloadMethod(n, l, HarvestOptions{}, address, r);
        };
    }
    QCoro::Task<BulkRunResult> walk = run.run(text, analyse, std::chrono::seconds(o.delay));
    const BulkRunResult result = co_await walk;
    for (const QString &address : result.unsuccessful) {
        out << "unsuccessful\t" << address << '\n';
    }
    QTextStream(stderr) << "Successfully imported: " << result.added << '/' << result.addresses
                        << '\n';
    if (stoppedBy != 0) {
        co_return 128 + stoppedBy;
    }
    co_return result.unsuccessful.isEmpty() ? 0 : 1;
}

std::optional<Options> parse(const QStringList &args, QTextStream &err)
{
    Options o;
    bool options = true; // until "--"
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if (!options || a == QLatin1String("-") || !a.startsWith(QLatin1Char('-'))) {
            if (!o.file.isEmpty()) {
                err << "bulk: one list at a time\n" << kUsage;
                return std::nullopt;
            }
            o.file = a;
        } else if (a == QLatin1String("--delay")) {
            bool ok = false;
            o.delay = args.value(i + 1).toInt(&ok);
            if (!ok || o.delay < 0 || o.delay > 600) {
                err << "bulk: --delay takes 0 to 600 seconds\n" << kUsage;
                return std::nullopt;
            }
            ++i;
        } else if (a == QLatin1String("--web")) {
            o.web = true;
        } else {
            err << "bulk: unknown option '" << a << "'\n" << kUsage;
            return std::nullopt;
        }
    }
    if (o.file.isEmpty()) {
        err << "bulk: no list given\n" << kUsage;
        return std::nullopt;
    }
    return o;
}

} // namespace

bool BulkNeedsBrowser(const QStringList &args)
{
    return args.mid(0, args.indexOf(QLatin1String("--"))).contains(QLatin1String("--web"));
}

int RunBulkCommand(const QStringList &args)
{
    QTextStream err(stderr);
    const std::optional<Options> o = parse(args, err);
    if (!o) {
        return 2;
    }
    QFile in;
    bool opened = false;
    if (o->file == QLatin1String("-")) {
        opened = in.open(stdin, QIODevice::ReadOnly);
    } else {
        in.setFileName(o->file);
        opened = in.open(QIODevice::ReadOnly);
    }
    if (!opened) {
        err << "bulk: cannot read " << o->file << ": " << in.errorString() << '\n';
        return 2;
    }
    const QString text = QString::fromUtf8(in.readAll());
    if (BulkAddressLines(text).isEmpty()) {
        err << "bulk: " << o->file << " holds no address (lines beginning with http)\n";
        return 2;
    }
    return QCoro::waitFor(bulk(text, *o));
}

} // namespace harvly
