#include "downloadcommand.h"

#include "common/filenames.h"
#include "common/program.h"
#include "download/downloadlist.h"
#include "download/handover.h"
#include "download/listcommands.h"
#include "download/liststore.h"
#include "download/savenames.h"
#include "download/scheduler.h"
#include "download/schedulerhost.h"
#include "download/storelock.h"
#include "stopsignals.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <optional>

namespace harvly {

namespace {

const char *const kUsage =
    "Usage: harvly-cli download --dest DIR [--way 1|2] [--threads N] [--interval S]\n"
    "           [--same-name Skip|Cover|Rename] [--proxy HOST:PORT] [--state FILE]\n"
    "           [--retries N] (--list FILE|- | URL...)\n";

// The command line has no windows: no sounds, no browser, no status bar.
class QuietHost final : public SchedulerHost
{
public:
    void playSound(int) override {}
    QCoro::Task<> loginSite() override { co_return; }
    void scrollTo(quint64) override {}
    QCoro::Task<> openReferer(QString) override { co_return; }
    void statusText(int, const QString &) override {}
    void timerDownChanged(bool) override {}
};

struct Job {
    QString url;
    QString title;
    QString type;
    QString referer;
};

struct Options {
    QString dest;
    DownloadOptions download;
    QList<Job> jobs;
    QString listFile;
    QStringList refusedLines; // of the list file, each with its number
    QString stateFile;        // the list kept between runs of the same command
};

std::optional<Options> parse(const QStringList &args, QString *error)
{
    Options o;
    o.download.way = 1;
    o.download.threads = 1;
    o.download.retries = 5; // as scripts expect of wget and aria2
    QString listFile;
    const auto value = [&](qsizetype &i) -> std::optional<QString> {
        if (i + 1 >= args.size()) {
            *error = QStringLiteral("%1 needs a value").arg(args.at(i));
            return std::nullopt;
        }
        return args.at(++i);
    };
    bool options = true; // until "--"
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        bool ok = true;
        if (!options || !a.startsWith(QLatin1Char('-'))) {
            o.jobs << Job{a, {}, {}, {}};
        } else if (a == QLatin1String("--")) {
            options = false;
        } else if (a == QLatin1String("--dest")) {
            const auto v = value(i);
            if (!v) {
                return std::nullopt;
            }
            o.dest = *v;
        } else if (a == QLatin1String("--way") || a == QLatin1String("--threads") ||
                   a == QLatin1String("--interval") || a == QLatin1String("--retries")) {
            const auto v = value(i);
            if (!v) {
                return std::nullopt;
            }
            const int n = v->toInt(&ok);
            const bool inRange = a == QLatin1String("--way")       ? (n == 1 || n == 2)
                                 : a == QLatin1String("--threads") ? (n >= 1 && n <= 6)
                                 : a == QLatin1String("--retries") ? (n >= 0 && n <= 100)
                                                                   : (n >= 0 && n <= 600);
            if (!ok || !inRange) {
                *error = QStringLiteral("bad value for %1: '%2'").arg(a, *v);
                return std::nullopt;
            }
            (a == QLatin1String("--way")       ? o.download.way
             : a == QLatin1String("--threads") ? o.download.threads
             : a == QLatin1String("--retries") ? o.download.retries
                                               : o.download.interval) = n;
        } else if (a == QLatin1String("--same-name")) {
            const auto v = value(i);
            if (!v) {
                return std::nullopt;
            }
            if (*v != QLatin1String("Skip") && *v != QLatin1String("Cover") &&
                *v != QLatin1String("Rename")) {
                *error = QStringLiteral("--same-name is Skip, Cover or Rename, not '%1'").arg(*v);
                return std::nullopt;
            }
            o.download.duplicateMode = DuplicateModeFromText(*v, Build::english());
        } else if (a == QLatin1String("--proxy")) {
            const auto v = value(i);
            if (!v) {
                return std::nullopt;
            }
            const qsizetype colon = v->lastIndexOf(QLatin1Char(':'));
            if (colon <= 0) {
                *error = QStringLiteral("--proxy is HOST:PORT, not '%1'").arg(*v);
                return std::nullopt;
            }
            o.download.proxyOn = true;
            o.download.proxyHost = v->left(colon);
            o.download.proxyPort = v->mid(colon + 1);
        } else if (a == QLatin1String("--state")) {
            const auto v = value(i);
            if (!v) {
                return std::nullopt;
            }
            o.stateFile = *v;
        } else if (a == QLatin1String("--list")) {
            const auto v = value(i);
            if (!v) {
                return std::nullopt;
            }
            listFile = *v;
        } else {
            *error = QStringLiteral("unknown option '%1'").arg(a);
            return std::nullopt;
        }
    }
    if (o.dest.isEmpty()) {
        *error = QStringLiteral("--dest is needed");
        return std::nullopt;
    }
    if (!listFile.isEmpty()) {
        if (!o.jobs.isEmpty()) {
            *error = QStringLiteral("give --list or addresses, not both");
            return std::nullopt;
        }
        // "-" is standard input, as for wget -i -.
        const bool standardInput = listFile == QLatin1String("-");
        o.listFile = standardInput ? QStringLiteral("standard input") : listFile;
        QFile f(listFile);
        const bool opened = standardInput ? f.open(stdin, QIODevice::ReadOnly | QIODevice::Text)
                                          : f.open(QIODevice::ReadOnly | QIODevice::Text);
        if (!opened) {
            *error = QStringLiteral("cannot read %1: %2").arg(o.listFile, f.errorString());
            return std::nullopt;
        }
        int lineNumber = 0;
        for (const QByteArray &raw : f.readAll().split('\n')) {
            ++lineNumber;
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
    }
    if (o.jobs.isEmpty()) {
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

} // namespace

int RunDownloadCommand(const QStringList &args)
{
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    QTextStream err(stderr);
    QString error;
    const std::optional<Options> o = parse(args, &error);
    if (!o) {
        err << "download: " << error << '\n' << kUsage;
        return 2;
    }
    for (const QString &refused : o->refusedLines) {
        err << "download: " << o->listFile << ": " << refused << " (skipped)\n";
    }
    // Settings of this run only: the command line never changes the programs' own.
    QTemporaryDir scratch;
    const Build build = Build::english();
    Program program(build, std::make_unique<Settings>(build, scratch.filePath("settings.ini")));
    QDir().mkpath(o->dest);
    program.downloadSaveFolder = QDir(o->dest).absolutePath() + QDir::separator();

    DownloadListModel list;
    // A run that was stopped (or killed) goes on where it stood: rows already kept are not
    // added twice, and finished ones are not fetched again.
    std::unique_ptr<ListStoreWriter> store;
    // One run at a time per state file: two would fetch the same rows into two copies.
    StoreLock lock(o->stateFile);
    if (!o->stateFile.isEmpty() && !lock.acquire()) {
        err << "download: " << o->stateFile << " is in use by process " << lock.holder() << '\n';
        return 2;
    }
    if (!o->stateFile.isEmpty()) {
        StoredList kept;
        QString why;
        const StoreRead read = LoadDownloadList(o->stateFile, &kept, &why);
        if (read == StoreRead::Ok) {
            RestoreRows(list, kept);
            // As wget -c: the rows that failed are tried again with the unfinished ones,
            // each continuing what its transfer kept; finished rows stay finished.
            for (const quint64 id : list.ids()) {
                ReQueueFailedItem(list, id);
            }
        } else if (read != StoreRead::Missing) {
            const QString aside = SetStoreAside(o->stateFile);
            err << "download: " << o->stateFile << " cannot be read (" << why << "); kept as "
                << aside << '\n';
        }
        store = std::make_unique<ListStoreWriter>(list, o->stateFile,
                                                  [&o] { return o->download.duplicateMode; });
        store->adopt();
    }
    for (const Job &job : o->jobs) {
        const QString title = job.title.isEmpty() ? GetFileNameFromPath(job.url, true) : job.title;
        AddDownloadRow(list, program, job.url, title.isEmpty() ? QStringLiteral("untitled") : title,
                       job.type, job.referer, QString());
    }

    QuietHost host;
    DownloadScheduler scheduler(list, program.network(), host, build);
    scheduler.options = o->download;
    QHash<quint64, double> started;
    QHash<quint64, double> seconds;
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
        err << list.ListCountsText() << '\n';
        err.flush();
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
    int stoppedBy = 0;
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::received, &ticks, [&](int signal) {
        if (stoppedBy == 0) {
            stoppedBy = signal;
            scheduler.menuStopDownload();
        }
    });
    QTimer windDown;
    windDown.setInterval(20);
    int windDownTicks = 0;
    QObject::connect(&windDown, &QTimer::timeout, &ticks, [&] {
        if (stoppedBy != 0 && (!scheduler.transferring() || ++windDownTicks > 250)) {
            QCoreApplication::quit();
        }
    });
    windDown.start();

    // The first row starts at once: the interval is kept between rows.
    scheduler.LastDownloadEndTime = scheduler.now() - o->download.interval - 1;
    scheduler.menuStartDownload();
    scheduler.Timer_Down_Timer();
    ticks.start();
    QCoreApplication::exec();
    if (store) {
        store->flush(); // a part kept is continued by the next run of the same command
    } else {
        list.dropPartialFiles();
    }
    err << list.ListCountsText() << '\n';
    if (stoppedBy != 0) {
        return 128 + stoppedBy;
    }

    bool allFinished = o->refusedLines.isEmpty();
    for (int i = 0; i < list.size(); ++i) {
        const DownloadRow &r = list.at(i);
        allFinished = allFinished && r.state == DownloadState::Finished;
        out << stateWord(r.state) << '\t' << r.type << '\t' << r.fileSizeText() << '\t'
            << r.downloadedText() << '\t' << r.percentageText() << '\t' << r.localFile() << '\t'
            << QString::number(seconds.value(r.id), 'f', 3) << '\t' << r.key << '\t' << r.reason
            << '\n';
    }
    return allFinished ? 0 : 1;
}

} // namespace harvly
