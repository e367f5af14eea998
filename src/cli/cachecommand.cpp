#include "cachecommand.h"

#include "cliargs.h"
#include "common/build.h"
#include "common/filenames.h"
#include "common/files.h"
#include "jsonrows.h"
#include "stopsignals.h"
#include "tools/browsercache.h"
#include "tools/cachefolders.h"
#include "tools/copymove.h"

#include <QCoro/QCoroTask>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <optional>

namespace harvly {

namespace {

struct Options {
    QString command;
    QString destination;
    QString match;
    SameNameRule rule = SameNameRule::CoverWhenSizeAndTimeEqual;
    bool zh = false;
    bool allUsers = false;
    bool json = false;
    QString dir;
};

std::optional<SameNameRule> ruleOf(const QString &word)
{
    static const QList<std::pair<QString, SameNameRule>> words{
        {QStringLiteral("skip"), SameNameRule::Skip},
        {QStringLiteral("cover"), SameNameRule::Cover},
        {QStringLiteral("rename"), SameNameRule::AutoRename},
        {QStringLiteral("same-size-and-time"), SameNameRule::CoverWhenSizeAndTimeEqual},
        {QStringLiteral("same-size"), SameNameRule::CoverWhenSizeEqual}};
    for (const auto &[w, rule] : words) {
        if (word.compare(w, Qt::CaseInsensitive) == 0) {
            return rule;
        }
    }
    return std::nullopt;
}

std::optional<Options> parse(const QStringList &args, QString *error)
{
    Options o;
    o.command = args.value(0);
    if (o.command != QLatin1String("list") && o.command != QLatin1String("export")) {
        *error = QStringLiteral("cache: list or export, not '%1'").arg(o.command);
        return std::nullopt;
    }
    const std::optional<CliArgs> parsed =
        ParseCliArgs(*FindCliCommand("cache"), args, error, "unexpected argument '%1'");
    if (!parsed) {
        error->prepend(QStringLiteral("cache: "));
        return std::nullopt;
    }
    const qsizetype operands = o.command == QLatin1String("export") ? 2 : 1;
    if (parsed->operands.size() > operands) {
        *error = QStringLiteral("cache: unexpected argument '%1'").arg(parsed->operands.last());
        return std::nullopt;
    }
    o.destination = parsed->operands.value(1);
    o.match = parsed->value("--match");
    o.zh = parsed->has("--zh");
    o.allUsers = parsed->has("--all-users");
    o.json = parsed->has("--json");
    o.dir = parsed->value("--dir");
    if (parsed->has("--same-name")) {
        const auto rule = ruleOf(parsed->value("--same-name"));
        if (!rule) {
            *error =
                QStringLiteral("cache: no same-name rule '%1'").arg(parsed->value("--same-name"));
            return std::nullopt;
        }
        o.rule = *rule;
    }
    if (int(o.zh) + int(o.allUsers) + int(parsed->has("--dir")) > 1) {
        *error = QStringLiteral("cache: one of --zh, --dir and --all-users");
        return std::nullopt;
    }
    if (o.command == QLatin1String("export") && o.destination.isEmpty()) {
        *error = QStringLiteral("cache: export needs a destination folder");
        return std::nullopt;
    }
    return o;
}

// The cache folders to read: (user, folder) pairs; the user is empty for a single folder.
QList<UserCacheFolder> foldersOf(const Options &o)
{
    const Build build = o.zh ? Build::chinese() : Build::english();
    if (o.allUsers) {
        return FindUserCacheFolders(build.applicationTitle, nullptr);
    }
    return {{QString(), o.dir.isEmpty() ? ProgramCacheFolder(build.applicationTitle) : o.dir}};
}

int list(const Options &o, QTextStream &out, QTextStream &err)
{
    int unreadable = 0;
    for (const UserCacheFolder &f : foldersOf(o)) {
        const CacheListing listing = ListCache(f.folder);
        if (listing.folder.isEmpty() && !o.allUsers) {
            err << "cache: no browser cache in " << f.folder << '\n';
            return 2;
        }
        for (const CacheEntry &e : listing.entries) {
            if (o.json) {
                out << JsonRowLine({{QStringLiteral("address"), e.address},
                                    {QStringLiteral("type"), e.type},
                                    {QStringLiteral("size"), e.bodySize},
                                    {QStringLiteral("complete"), e.complete}},
                                   nullptr);
                continue;
            }
            out << e.address << '\t' << e.type << '\t' << e.bodySize << '\t'
                << (e.complete ? "complete" : "incomplete") << '\n';
        }
        if (listing.unreadable > 0) {
            err << "cache: " << listing.unreadable << " unreadable entries in " << listing.folder
                << " (" << listing.firstReason << ")\n";
            unreadable += listing.unreadable;
        }
    }
    return unreadable > 0 ? 1 : 0;
}

QCoro::Task<int> exportDocuments(Options o)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    const Build build = Build::english();
    QString message;
    const QString destination = CreateFolderPath(o.destination, build, &message);
    if (destination.isEmpty()) {
        err << "cache: cannot make " << o.destination << ' ' << message << '\n';
        co_return 2;
    }
    // Each body is written whole into a hidden file in the destination first; the copy rules
    // then give it its name (a rename, no second copy).
    bool someFailed = false;
    QList<CopyMoveItem> items;
    QStringList staged;
    for (const UserCacheFolder &f : foldersOf(o)) {
        const CacheListing listing = ListCache(f.folder);
        if (listing.folder.isEmpty() && !o.allUsers) {
            err << "cache: no browser cache in " << f.folder << '\n';
            co_return 2;
        }
        for (const CacheEntry &e : listing.entries) {
            if (!o.match.isEmpty() && !e.address.contains(o.match, Qt::CaseInsensitive)) {
                continue;
            }
            QFile file;
            QString reason;
            const bool opened = OpenPartFile(file, destination + QLatin1Char('/'));
            if (!opened || !WriteCacheBody(e, file, &reason) || !file.flush()) {
                out << "failed\t" << e.address << '\t'
                    << (reason.isEmpty() ? file.errorString() : reason) << '\n';
                someFailed = true;
                if (opened) {
                    file.close();
                    file.remove();
                }
                continue;
            }
            StampWithCacheTime(file, e);
            file.close();
            staged << file.fileName();
            items.append({file.fileName(), MakeValidFileName(CacheEntryDocumentName(e), build)});
        }
    }
    CopyMoveRun run;
    int stoppedBy = 0;
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::received, &run, [&](int signal) {
        stoppedBy = signal;
        run.stop();
    });
    QCoro::Task<CopyMoveReport> moving = run.run(items, destination, o.rule, true);
    const CopyMoveReport report = co_await moving;
    // What was skipped, failed or not reached is still in its hidden file.
    for (qsizetype i = 0; i < staged.size(); ++i) {
        if (i >= report.files.size() || !report.files.at(i).sourceDeleted) {
            QFile::remove(staged.at(i));
        }
    }
    static const char *const words[] = {"copied",  "covered", "renamed",
                                        "skipped", "passed",  "failed"};
    // Every staged file exists, so the report follows the items one for one.
    for (qsizetype i = 0; i < report.files.size(); ++i) {
        const CopyMoveResult &r = report.files.at(i);
        out << words[int(r.outcome)] << '\t'
            << (r.target.isEmpty() ? destination + QLatin1Char('/') + items.at(i).name : r.target);
        if (!r.reason.isEmpty()) {
            out << '\t' << r.reason;
        }
        out << '\n';
    }
    if (stoppedBy != 0) {
        co_return 128 + stoppedBy;
    }
    co_return someFailed || report.failed() > 0 || report.files.size() < items.size() ? 1 : 0;
}

} // namespace

int RunCacheCommand(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    QString error;
    const std::optional<Options> o = parse(args, &error);
    if (!o) {
        err << error << '\n' << CliUsage(*FindCliCommand("cache"));
        return 2;
    }
    if (o->command == QLatin1String("list")) {
        return list(*o, out, err);
    }
    return QCoro::waitFor(exportDocuments(*o));
}

} // namespace harvly
