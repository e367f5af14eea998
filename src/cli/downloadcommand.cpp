#include "downloadcommand.h"

#include "cliargs.h"
#include "common/filenames.h"
#include "common/program.h"
#include "cookieoption.h"
#include "download/downloadlist.h"
#include "download/handover.h"
#include "download/listcommands.h"
#include "download/liststore.h"
#include "download/savenames.h"
#include "download/scheduler.h"
#include "download/schedulerhost.h"
#include "download/storelock.h"
#include "downloadrows.h"
#include "stopsignals.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <optional>

namespace harvly {

namespace {

// The command line has no windows: no sounds, no browser, no status bar.
class QuietHost final : public SchedulerHost
{
public:
    void playSound(Sound) override {}
    QCoro::Task<> loginSite() override { co_return; }
    void scrollTo(quint64) override {}
    QCoro::Task<> openReferer(QString) override { co_return; }
    void statusText(int, const QString &) override {}
    void timerDownChanged(bool) override {}
};

using Job = DownloadJob;

struct Options {
    QString dest;
    DownloadOptions download;
    QList<Job> jobs;
    QString listFile;
    QStringList refusedLines; // of the list file, each with its number
    QString stateFile;        // the list kept between runs of the same command
    QString failedFile;       // where the rows that failed go, as a list to read again
    QString cookiesFile;      // the session's cookies, read before and written after
    bool json = false;
    bool quiet = false;
};

// A JSON line of harvest, analyse, bulk or download --json as a job: the document's link
// ("link", else "url", else "address"), its title, type, the page it came from and its
// record. An object without an address, or no object, is nothing.
std::optional<Job> jobOfJson(const QByteArray &line)
{
    const QJsonDocument doc = QJsonDocument::fromJson(line);
    const QJsonObject o = doc.object();
    const auto text = [&o](const char *name) { return o.value(QLatin1String(name)).toString(); };
    Job job;
    for (const char *name : {"link", "url", "address"}) {
        if (job.url.isEmpty()) {
            job.url = text(name).trimmed();
        }
    }
    if (!doc.isObject() || job.url.isEmpty()) {
        return std::nullopt;
    }
    job.title = text("title");
    job.type = text("fileType").isEmpty() ? text("type") : text("fileType");
    job.referer = text("referer").isEmpty() ? text("page") : text("referer");
    if (job.referer.isEmpty() && !text("link").isEmpty()) {
        job.referer = text("address"); // analyse: the document page the link was found on
    }
    job.record = RecordIn(o, QStringLiteral("pdf"));
    return job;
}

// The number options within their ranges into their fields of the download options.
bool takeNumbers(const CliArgs &parsed, DownloadOptions &o, QString *error)
{
    struct Range {
        const char *name;
        int low;
        int high;
        int DownloadOptions::*field;
    };
    static const Range ranges[] = {
        {"--threads", 1, 6, &DownloadOptions::threads},
        {"--interval", 0, 600, &DownloadOptions::interval},
        {"--retries", 0, 100, &DownloadOptions::retries},
    };
    for (const Range &r : ranges) {
        if (!parsed.has(r.name)) {
            continue;
        }
        const QString value = parsed.value(r.name);
        const std::optional<int> n = CliNumber(value, r.low, r.high);
        if (!n) {
            *error = QStringLiteral("bad value for %1: '%2'").arg(QLatin1String(r.name), value);
            return false;
        }
        o.*r.field = *n;
    }
    return true;
}

// The options that take words into the download options.
bool takeWords(const CliArgs &parsed, Options &o, QString *error)
{
    if (parsed.has("--same-name")) {
        const QString value = parsed.value("--same-name");
        if (value != QLatin1String("Skip") && value != QLatin1String("Cover") &&
            value != QLatin1String("Rename")) {
            *error = QStringLiteral("--same-name is Skip, Cover or Rename, not '%1'").arg(value);
            return false;
        }
        o.download.duplicateMode = DuplicateModeFromText(value, Build::english());
    }
    if (parsed.has("--way")) {
        const std::optional<int> way = CliNumber(parsed.value("--way"), 1, 2);
        if (!way) {
            *error = QStringLiteral("bad value for --way: '%1'").arg(parsed.value("--way"));
            return false;
        }
        o.download.way = WayFromNumber(*way);
    }
    if (parsed.has("--proxy")) {
        const QString value = parsed.value("--proxy");
        const qsizetype colon = value.lastIndexOf(QLatin1Char(':'));
        if (colon <= 0) {
            *error = QStringLiteral("--proxy is HOST:PORT, not '%1'").arg(value);
            return false;
        }
        o.download.proxyOn = true;
        o.download.proxyHost = value.left(colon);
        o.download.proxyPort = value.mid(colon + 1);
    }
    o.dest = parsed.value("--dest");
    o.stateFile = parsed.value("--state");
    o.failedFile = parsed.value("--failed");
    o.cookiesFile = parsed.value("--cookies");
    o.json = parsed.has("--json");
    o.quiet = parsed.has("--quiet");
    return true;
}

// The lines URL[<TAB>title[<TAB>type[<TAB>referer]]] of a list file, or of standard input
// for "-" (as for wget -i -); a line without an address is noted and passed over.
bool readList(const QString &listFile, Options &o, QString *error)
{
    const bool standardInput = listFile == QLatin1String("-");
    o.listFile = standardInput ? QStringLiteral("standard input") : listFile;
    QFile f(listFile);
    const bool opened = standardInput ? f.open(stdin, QIODevice::ReadOnly | QIODevice::Text)
                                      : f.open(QIODevice::ReadOnly | QIODevice::Text);
    if (!opened) {
        *error = QStringLiteral("cannot read %1: %2").arg(o.listFile, f.errorString());
        return false;
    }
    int lineNumber = 0;
    for (const QByteArray &raw : f.readAll().split('\n')) {
        ++lineNumber;
        const QByteArray trimmed = raw.trimmed();
        if (trimmed.startsWith('#')) {
            continue; // a comment, as the failed list writes the reasons
        }
        if (trimmed.startsWith('{') || trimmed.startsWith('[')) {
            if (std::optional<Job> job = jobOfJson(trimmed)) {
                o.jobs << *job;
            } else {
                o.refusedLines
                    << QStringLiteral("line %1: no JSON object with an address").arg(lineNumber);
            }
            continue;
        }
        // Split first: a line may begin with an empty address field.
        QStringList fields = QString::fromUtf8(raw).split(QLatin1Char('\t'));
        for (QString &field : fields) {
            field = field.trimmed();
        }
        if (fields.join(QString()).isEmpty()) {
            continue; // a blank line
        }
        if (fields.value(0).isEmpty()) {
            o.refusedLines << QStringLiteral("line %1: no address").arg(lineNumber);
            continue;
        }
        o.jobs << Job{fields.value(0), fields.value(1), fields.value(2), fields.value(3)};
    }
    return true;
}

std::optional<Options> parse(const QStringList &args, QString *error,
                             const std::optional<QList<Job>> &given = std::nullopt)
{
    const std::optional<CliArgs> parsed = ParseCliArgs(*FindCliCommand("download"), args, error);
    if (!parsed) {
        return std::nullopt;
    }
    Options o;
    o.download.threads = 1;
    o.download.retries = 5; // as scripts expect of wget and aria2
    o.download.checkDocuments = !parsed->has("--no-document-check");
    if (!takeWords(*parsed, o, error) || !takeNumbers(*parsed, o.download, error)) {
        return std::nullopt;
    }
    for (const QString &address : parsed->operands) {
        o.jobs << Job{address, {}, {}, {}, {}};
    }
    if (given) {
        o.jobs << *given;
    }
    if (o.dest.isEmpty()) {
        *error = QStringLiteral("--dest is needed");
        return std::nullopt;
    }
    const QString listFile = parsed->value("--list");
    if (!listFile.isEmpty()) {
        if (!o.jobs.isEmpty()) {
            *error = QStringLiteral("give --list or addresses, not both");
            return std::nullopt;
        }
        if (!readList(listFile, o, error)) {
            return std::nullopt;
        }
    }
    if (o.jobs.isEmpty() && !(given && !o.stateFile.isEmpty())) {
        *error = o.refusedLines.isEmpty() ? QStringLiteral("no address to download")
                                          : o.refusedLines.join(QStringLiteral("; "));
        return std::nullopt;
    }
    return o;
}

QString stateWord(DownloadState s)
{
    switch (s) {
    case DownloadState::Waiting:
        return QStringLiteral("Waiting");
    case DownloadState::Downloading:
        return QStringLiteral("Downloading");
    case DownloadState::Finished:
        return QStringLiteral("Finished");
    case DownloadState::Failed:
        break;
    }
    return QStringLiteral("Failed");
}

// A run that was stopped (or killed) goes on where it stood: rows already kept are not
// added twice, finished ones are not fetched again, and (as wget -c) the rows that failed
// are tried again with the unfinished ones, each continuing what its transfer kept.
std::unique_ptr<ListStoreWriter> restoreState(const Options &o, DownloadListModel &list,
                                              QTextStream &err)
{
    StoredList kept;
    QString why;
    const StoreRead read = LoadDownloadList(o.stateFile, &kept, &why);
    if (read == StoreRead::Ok) {
        RestoreRows(list, kept);
        for (const quint64 id : list.ids()) {
            ReQueueFailedItem(list, id);
        }
    } else if (read != StoreRead::Missing) {
        const QString aside = SetStoreAside(o.stateFile);
        err << "download: " << o.stateFile << " cannot be read (" << why << "); kept as " << aside
            << '\n';
    }
    const DuplicateMode mode = o.download.duplicateMode;
    auto store = std::make_unique<ListStoreWriter>(list, o.stateFile, [mode] { return mode; });
    store->adopt();
    return store;
}

void queueJobs(const Options &o, DownloadListModel &list, Program &program)
{
    for (const Job &job : o.jobs) {
        const QString title = job.title.isEmpty() ? GetFileNameFromPath(job.url, true) : job.title;
        AddDownloadRow(list, program, job.url, title.isEmpty() ? QStringLiteral("untitled") : title,
                       job.type, job.referer, QString(), job.record);
    }
}

// Runs the scheduler until every row is done or a signal stops it; the signal, or 0.
// seconds receives each row's time from its start to its end.
int runUntilDone(DownloadScheduler &scheduler, DownloadListModel &list, int interval,
                 QHash<quint64, double> &seconds, DownloadProgress &progress)
{
    QHash<quint64, double> started;
    QObject::connect(&list, &QAbstractItemModel::dataChanged, &list, [&](const QModelIndex &from) {
        const DownloadRow &r = list.at(from.row());
        if (r.state == DownloadState::Downloading && !started.contains(r.id)) {
            started.insert(r.id, scheduler.now());
        }
    });
    QObject::connect(&scheduler, &DownloadScheduler::rowEnded, &scheduler, [&](quint64 id) {
        seconds.insert(id, scheduler.now() - started.value(id, scheduler.now()));
    });

    const auto finishedAll = [&] {
        return list.IsCompletedOfDownloadListView() && !scheduler.transferring();
    };
    QTimer ticks;
    ticks.setInterval(1000);
    QObject::connect(&ticks, &QTimer::timeout, &ticks, [&] {
        scheduler.Timer_Down_Timer();
        scheduler.Timer1_Timer();
        progress.tick(list);
        if (!scheduler.timerDownEnabled() && finishedAll()) {
            QCoreApplication::quit();
        }
    });
    // The last row's end ends the run at once, not at the next tick.
    QObject::connect(&scheduler, &DownloadScheduler::rowEnded, &ticks, [&] {
        QTimer::singleShot(0, &ticks, [&] {
            if (finishedAll()) {
                QCoreApplication::quit();
            }
        });
    });

    // SIGINT and SIGTERM stop the transfers, which remove their temporary files, then end
    // the run with the status a shell expects of a program ended by that signal.
    // The run ends when the last transfer has ended (its rowEnded), or after five seconds.
    int stoppedBy = 0;
    StopSignals stopSignals;
    const auto endWhenQuiet = [&] {
        if (stoppedBy != 0 && !scheduler.transferring()) {
            QCoreApplication::quit();
        }
    };
    QObject::connect(&stopSignals, &StopSignals::received, &ticks, [&](int signal) {
        if (stoppedBy == 0) {
            stoppedBy = signal;
            scheduler.menuStopDownload();
            QTimer::singleShot(5000, &ticks, [] { QCoreApplication::quit(); });
            endWhenQuiet();
        }
    });
    QObject::connect(&scheduler, &DownloadScheduler::rowEnded, &ticks,
                     [&] { QTimer::singleShot(0, &ticks, endWhenQuiet); });

    // The first row starts at once: the interval is kept between rows.
    scheduler.LastDownloadEndTime = scheduler.now() - interval - 1;
    scheduler.menuStartDownload();
    scheduler.Timer_Down_Timer();
    ticks.start();
    QCoreApplication::exec();
    return stoppedBy;
}

// One line per row; true when every row (and every list line) ended Finished.
bool printRows(const Options &o, const DownloadListModel &list,
               const QHash<quint64, double> &seconds, QTextStream &out)
{
    bool allFinished = o.refusedLines.isEmpty();
    for (int i = 0; i < list.size(); ++i) {
        const DownloadRow &r = list.at(i);
        allFinished = allFinished && r.state == DownloadState::Finished;
        out << DownloadRowLine(r, stateWord(r.state), seconds.value(r.id), o.json);
    }
    return allFinished;
}

int runDownloads(const QStringList &args, const std::optional<QList<Job>> &given);

} // namespace

int RunDownloadCommand(const QStringList &args)
{
    return runDownloads(args, std::nullopt);
}

int RunDownloadJobs(const QStringList &args, const QList<DownloadJob> &jobs)
{
    return runDownloads(args, jobs);
}

namespace {

int runDownloads(const QStringList &args, const std::optional<QList<Job>> &given)
{
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    QTextStream err(stderr);
    QString error;
    const std::optional<Options> o = parse(args, &error, given);
    if (!o) {
        err << "download: " << error << '\n' << CliUsage(*FindCliCommand("download"));
        return 2;
    }
    for (const QString &refused : o->refusedLines) {
        err << "download: " << o->listFile << ": " << refused << " (skipped)\n";
    }
    // One run at a time per state file: two would fetch the same rows into two copies.
    StoreLock lock(o->stateFile);
    if (!o->stateFile.isEmpty() && !lock.acquire()) {
        err << "download: " << o->stateFile << " is in use by process " << lock.holder() << '\n';
        return 2;
    }
    // Settings of this run only: the command line never changes the programs' own.
    QTemporaryDir scratch;
    const Build build = Build::english();
    Program program(build, std::make_unique<Settings>(build, scratch.filePath("settings.ini")));
    QDir().mkpath(o->dest);
    program.downloadSaveFolder = QDir(o->dest).absolutePath() + QDir::separator();
    if (!LoadCookiesOption(o->cookiesFile, *program.network().cookies(), err, "download")) {
        return 2;
    }

    DownloadListModel list;
    std::unique_ptr<ListStoreWriter> store;
    if (!o->stateFile.isEmpty()) {
        store = restoreState(*o, list, err);
    }
    queueJobs(*o, list, program);
    QuietHost host;
    DownloadScheduler scheduler(list, program.network(), host, build);
    scheduler.options = o->download;
    QHash<quint64, double> seconds;
    DownloadProgress progress(err, o->quiet);
    const int stoppedBy = runUntilDone(scheduler, list, o->download.interval, seconds, progress);
    if (store) {
        store->flush(); // a part kept is continued by the next run of the same command
    } else {
        list.dropPartialFiles();
    }
    progress.end(list);
    SaveCookiesOption(o->cookiesFile, *program.network().cookies(), err, "download");
    if (!o->failedFile.isEmpty() && !WriteFailedList(o->failedFile, list, o->json, &error)) {
        err << "download: cannot write " << o->failedFile << ": " << error << '\n';
    }
    if (stoppedBy != 0) {
        return 128 + stoppedBy;
    }
    return printRows(*o, list, seconds, out) ? 0 : 1;
}

} // namespace

} // namespace harvly
