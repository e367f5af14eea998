#include "bulkcommand.h"

#include "cliargs.h"
#include "cliweb.h"
#include "common/files.h"
#include "common/urls.h"
#include "cookieoption.h"
#include "http/sessionnetwork.h"
#include "jsonrows.h"
#include "search/bulkrun.h"
#include "search/resultlist.h"
#include "stopsignals.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>
#include <QUrl>

#include <memory>
#include <optional>

namespace harvly {

namespace {

struct Options {
    bool web = false;
    bool json = false;
    int delay = 0;
    QString file;
    QString doiResolver = kDefaultDoiResolver;
    QString failedFile;
    QString cookiesFile;
};

// The addresses that gave no row, as a list bulk reads again (a comment line before each).
bool writeFailed(const QString &file, const QStringList &unsuccessful, QString *error)
{
    QSaveFile out(file);
    QByteArray text;
    for (const QString &address : unsuccessful) {
        text += "# gave no row\n" + address.toUtf8() + '\n';
    }
    if (!out.open(QIODevice::WriteOnly) || out.write(text) < 0 || !out.commit()) {
        *error = out.errorString();
        return false;
    }
    return true;
}

void printRow(QTextStream &out, const ResultRow &r, bool json)
{
    if (!json) {
        out << r.title << '\t' << r.key << '\t' << r.fileType << '\t' << r.tag << '\n';
        return;
    }
    out << JsonRowLine({{QStringLiteral("title"), r.title},
                        {QStringLiteral("link"), r.key},
                        {QStringLiteral("fileType"), r.fileType},
                        {QStringLiteral("page"), r.tag}},
                       r.record);
}

// The web method for one address: the offscreen page loads it and its document is taken.
QCoro::Task<bool> addByWebMethod(CliWebPage *page, QPointer<ResultListModel> list,
                                 QPointer<BulkUrlRun> run, QString address)
{
    std::function<bool()> stop = [run] { return !run || run->stopRequested(); };
    // The page wait ends on the run's stop.
    QPointer<StopSource> runStop(run ? run->stopSource() : nullptr);
    QCoro::Task<std::optional<DomDocument>> open = page->open(QUrl(address), runStop);
    const std::optional<DomDocument> doc = co_await open;
    co_return doc.has_value() && list && !stop() &&
        ExtractSingleArticlePdfUrl(*doc, *list, HarvestOptions{});
}

QCoro::Task<int> bulk(QString text, Options o)
{
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    SessionNetwork network;
    QTextStream err(stderr);
    if (!LoadCookiesOption(o.cookiesFile, *network.cookies(), err, "bulk")) {
        co_return 2;
    }
    ResultListModel list;
    QObject::connect(&list, &QAbstractItemModel::rowsInserted, &list,
                     [&](const QModelIndex &, int first, int last) {
                         for (int i = first; i <= last; ++i) {
                             printRow(out, list.at(i), o.json);
                         }
                         out.flush();
                     });
    BulkUrlRun run;
    run.doiResolver = o.doiResolver;
    int stoppedBy = 0;
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::received, &run, [&](int signal) {
        stoppedBy = signal;
        run.stop();
    });
    QPointer<BulkUrlRun> r(&run);
    QPointer<ResultListModel> l(&list);
    std::unique_ptr<CliWebPage> page;
    BulkUrlRun::Analyse analyse;
    if (o.web) {
        page = MakeCliWebPage(network);
        if (!page) {
            err << "bulk: --web needs the browser engine, which this program does not have\n";
            co_return 2;
        }
        CliWebPage *p = page.get(); // lives as long as the run
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
        if (o.json) {
            out << JsonRowLine({{QStringLiteral("unsuccessful"), address}}, nullptr);
        } else {
            out << "unsuccessful\t" << address << '\n';
        }
    }
    QTextStream(stderr) << "Successfully imported: " << result.added << '/' << result.addresses
                        << '\n';
    SaveCookiesOption(o.cookiesFile, *network.cookies(), err, "bulk");
    QString error;
    if (!o.failedFile.isEmpty() && !writeFailed(o.failedFile, result.unsuccessful, &error)) {
        QTextStream(stderr) << "bulk: cannot write " << o.failedFile << ": " << error << '\n';
    }
    if (stoppedBy != 0) {
        co_return 128 + stoppedBy;
    }
    co_return result.unsuccessful.isEmpty() ? 0 : 1;
}

std::optional<Options> parse(const QStringList &args, QTextStream &err)
{
    const CliCommand &command = *FindCliCommand("bulk");
    const QString usage = CliUsage(command);
    QString error;
    const std::optional<CliArgs> parsed = ParseCliArgs(command, args, &error);
    if (!parsed) {
        err << "bulk: " << error << '\n' << usage;
        return std::nullopt;
    }
    Options o;
    o.web = parsed->has("--web");
    o.json = parsed->has("--json");
    o.failedFile = parsed->value("--failed");
    o.cookiesFile = parsed->value("--cookies");
    if (parsed->has("--doi-resolver")) {
        o.doiResolver = parsed->value("--doi-resolver").trimmed();
        if (!IsFetchableAddress(QUrl(o.doiResolver))) {
            err << "bulk: --doi-resolver is an http(s) address, not '" << o.doiResolver << "'\n"
                << usage;
            return std::nullopt;
        }
    }
    if (parsed->has("--delay")) {
        const std::optional<int> delay = CliNumber(parsed->value("--delay"), 0, 600);
        if (!delay) {
            err << "bulk: --delay takes 0 to 600 seconds\n" << usage;
            return std::nullopt;
        }
        o.delay = *delay;
    }
    if (parsed->operands.size() > 1) {
        err << "bulk: one list at a time\n" << usage;
        return std::nullopt;
    }
    if (parsed->operands.isEmpty()) {
        err << "bulk: no list given\n" << usage;
        return std::nullopt;
    }
    o.file = parsed->operands.first();
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
    if (!OpenFileOrStandardInput(in, o->file)) {
        err << "bulk: cannot read " << o->file << ": " << in.errorString() << '\n';
        return 2;
    }
    const QString text = QString::fromUtf8(in.readAll());
    if (BulkAddressLines(text, o->doiResolver).isEmpty()) {
        err << "bulk: " << o->file << " holds no address (lines beginning with http) or DOI\n";
        return 2;
    }
    return QCoro::waitFor(bulk(text, *o));
}

} // namespace harvly
