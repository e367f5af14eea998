// The bulk list at scale: 10,000 lines parsed, and 200 document pages taken one after another
// (by the command line against curl, and in this process with a 10 ms timer watching how late
// the event loop answers while the run goes on).
#include "http/sessionnetwork.h"
#include "lateness.h"
#include "search/bulkrun.h"
#include "search/resultlist.h"

#include <QCoreApplication>
#include <QCoro/QCoroTask>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>

using namespace harvly;

namespace {

QTextStream out(stdout);

QString fmt(double v, int decimals = 2)
{
    return QString::number(v, 'f', decimals);
}

double runSeconds(const QString &program, const QStringList &args)
{
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    p.waitForFinished(-1);
    return t.elapsed() / 1000.0;
}

QString mixedList(int lines)
{
    QString text;
    const char *const endings[] = {"\r\n", "\r", "\n"};
    for (int i = 0; i < lines; ++i) {
        if (i % 5 == 0) {
            text += QStringLiteral("note on line %1").arg(i);
        } else if (i % 5 == 1) {
            text += QStringLiteral("   ");
        } else {
            text += QStringLiteral("  http://site.example/docview/%1/fulltextPDF?accountid=7 ")
                        .arg(i % 4000);
        }
        text += QLatin1String(endings[i % 3]);
    }
    return text;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;

    // 1. Parsing, against grep over the same list (grep's time includes its start).
    const QString text = mixedList(10000);
    QList<double> parses;
    qsizetype found = 0;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer t;
        t.start();
        found = BulkAddressLines(text).size();
        parses << t.nsecsElapsed() / 1e6;
    }
    std::sort(parses.begin(), parses.end());
    const QString listFile = dir.filePath(QStringLiteral("list.txt"));
    {
        QFile f(listFile);
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8());
    }
    const double grep =
        runSeconds(QStringLiteral("grep"),
                   {QStringLiteral("-ci"), QStringLiteral("^[[:space:]]*http"), listFile}) *
        1000;
    out << "10,000 lines (" << found << " addresses): parse " << fmt(parses.at(3))
        << " ms median of 7 (goal under 50 ms); grep -ci over the file " << fmt(grep)
        << " ms, ratio " << fmt(grep / parses.at(3)) << "x\n";
    out.flush();

    // 2. 200 document pages of the sample site, delay 0.
    QProcess site;
    site.start(QCoreApplication::applicationDirPath() +
                   QStringLiteral("/../testsite/harvly-testsite"),
               {QStringLiteral("--port"), QStringLiteral("0")});
    if (!site.waitForReadyRead(10000)) {
        out << "bulk bench: the sample site did not start\n";
        return 1;
    }
    const QString root = QString::fromUtf8(site.readLine()).trimmed();
    const int pages = argc > 1 ? QByteArray(argv[1]).toInt() : 200;
    QStringList addresses;
    for (int i = 1; i <= pages; ++i) {
        addresses << root + QStringLiteral("docview/%1").arg(i);
    }
    const QString pagesFile = dir.filePath(QStringLiteral("pages.txt"));
    {
        QFile f(pagesFile);
        f.open(QIODevice::WriteOnly);
        f.write(addresses.join(QLatin1Char('\n')).toUtf8());
    }
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    const QString cli =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../src/cli/harvly-cli");
    const double cliSeconds = runSeconds(cli, {QStringLiteral("bulk"), pagesFile});
    out << pages << " document pages: harvly-cli bulk " << fmt(cliSeconds) << " s";
    if (!curl.isEmpty()) {
        QStringList args{QStringLiteral("-s")};
        for (const QString &a : addresses) {
            args << QStringLiteral("-o") << QStringLiteral("/dev/null") << a;
        }
        const double curlSeconds = runSeconds(curl, args);
        out << ", curl fetching the same pages " << fmt(curlSeconds) << " s, ratio "
            << fmt(cliSeconds / curlSeconds) << "x of curl's time";
    }
    out << '\n';
    out.flush();

    // The same run in this process, with a 10 ms timer measuring the event loop's lateness.
    SessionNetwork network;
    ResultListModel list;
    BulkUrlRun run;
    LatenessProbe probe;
    probe.start();
    QPointer<QNetworkAccessManager> n(&network);
    QPointer<ResultListModel> l(&list);
    QPointer<BulkUrlRun> r(&run);
    const auto analyse = [n, l, r](QString address) {
        return AddByDownloadMethod(n, l, HarvestOptions{}, address, r);
    };
    QElapsedTimer t;
    t.start();
    const BulkRunResult result = QCoro::waitFor(
        run.run(addresses.join(QLatin1Char('\n')), analyse, std::chrono::seconds(0)));
    const double inProcess = t.elapsed() / 1000.0;
    probe.stop();
    out << "  in process: " << result.added << '/' << result.addresses << " added in "
        << fmt(inProcess) << " s; " << probe.report() << " (goal: worst under 50 ms)\n";
    site.kill();
    site.waitForFinished();
    return result.added == pages ? 0 : 1;
}
