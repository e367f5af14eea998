#include "harvestcommand.h"

#include "cliargs.h"
#include "cliweb.h"
#include "common/urltext.h"
#include "http/sessionnetwork.h"
#include "jsonrows.h"
#include "search/harvest.h"
#include "search/resultlist.h"
#include "search/staticdom.h"

#include <QCoreApplication>
#include <QCoro/QCoroTask>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QUrl>

#include <optional>

namespace harvly {

namespace {

struct Options {
    bool withHtm = false;
    bool staticDom = false;
    QString page;
    bool json = false;
};

std::optional<Options> parse(const QStringList &args, QString *error)
{
    const std::optional<CliArgs> parsed =
        ParseCliArgs(*FindCliCommand("harvest"), args, error, "unexpected argument '%1'");
    if (!parsed) {
        error->prepend(QStringLiteral("harvest: "));
        return std::nullopt;
    }
    if (parsed->operands.size() > 1) {
        *error = QStringLiteral("harvest: unexpected argument '%1'").arg(parsed->operands.at(1));
        return std::nullopt;
    }
    if (parsed->operands.isEmpty()) {
        *error = QStringLiteral("harvest: no page given");
        return std::nullopt;
    }
    return Options{parsed->has("--with-htm"), parsed->has("--static"), parsed->operands.first(),
                   parsed->has("--json")};
}

bool isAddress(const QString &page)
{
    return page.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           page.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

QCoro::Task<std::optional<DomDocument>> loadStatic(Options o, QString *error)
{
    if (isAddress(o.page)) {
        SessionNetwork network;
        QCoro::Task<QString> fetch = GetUrlText(&network, QUrl(o.page), QStringLiteral("utf-8"));
        const QString html = co_await fetch;
        if (html.isEmpty()) {
            *error = QStringLiteral("harvest: cannot load %1").arg(o.page);
            co_return std::nullopt;
        }
        co_return ParseHtmlDocument(html, o.page);
    }
    QFile f(o.page);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("harvest: cannot read %1: %2").arg(o.page, f.errorString());
        co_return std::nullopt;
    }
    co_return ParseHtmlDocument(
        QString::fromUtf8(f.readAll()),
        QUrl::fromLocalFile(QFileInfo(o.page).absoluteFilePath()).toString());
}

QCoro::Task<std::optional<DomDocument>> loadLive(Options o, QString *error)
{
    QUrl url(o.page);
    if (!isAddress(o.page)) {
        if (!QFileInfo(o.page).isFile()) {
            *error = QStringLiteral("harvest: cannot read %1: no such file").arg(o.page);
            co_return std::nullopt;
        }
        url = QUrl::fromLocalFile(QFileInfo(o.page).absoluteFilePath());
    }
    SessionNetwork network;
    const std::unique_ptr<CliWebPage> page = MakeCliWebPage(network);
    if (!page) {
        *error = QStringLiteral("harvest: the page needs the browser engine, which this program "
                                "does not have (--static reads it without)");
        co_return std::nullopt;
    }
    QCoro::Task<std::optional<DomDocument>> open = page->openResultPage(url);
    std::optional<DomDocument> doc = co_await open;
    if (!doc) {
        *error = QStringLiteral("harvest: cannot load %1").arg(o.page);
    }
    co_return doc;
}

QCoro::Task<int> harvest(QStringList args)
{
    QTextStream err(stderr);
    QString error;
    const std::optional<Options> o = parse(args, &error);
    if (!o) {
        err << error << '\n' << CliUsage(*FindCliCommand("harvest"));
        co_return 2;
    }
    QCoro::Task<std::optional<DomDocument>> load =
        o->staticDom ? loadStatic(*o, &error) : loadLive(*o, &error);
    const std::optional<DomDocument> doc = co_await load;
    if (!doc) {
        err << error << '\n';
        co_return 1;
    }
    ResultListModel list;
    HarvestOptions options;
    options.withHtm = o->withHtm;
    HarvestCurrentPage(*doc, list, options);
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    for (int i = 0; i < list.size(); ++i) {
        const ResultRow &r = list.at(i);
        if (o->json) {
            out << JsonRowLine({{QStringLiteral("title"), r.title},
                                {QStringLiteral("link"), r.key},
                                {QStringLiteral("fileType"), r.fileType},
                                {QStringLiteral("source"), r.type},
                                {QStringLiteral("page"), r.tag}},
                               r.record);
            continue;
        }
        out << r.title << '\t' << r.key << '\t' << r.fileType << '\t' << r.type << '\n';
    }
    co_return 0;
}

} // namespace

bool HarvestNeedsBrowser(const QStringList &args)
{
    return !args.mid(0, args.indexOf(QLatin1String("--"))).contains(QLatin1String("--static"));
}

int RunHarvestCommand(const QStringList &args)
{
    return QCoro::waitFor(harvest(args));
}

} // namespace harvly
