// How late the download window's event loop answers while it works: the real window
// (offscreen) with a list of 100,000 rows, kept on disk as the program keeps it, 6 parallel
// downloads of 64 MiB from the sample site at full speed, and meanwhile an analysis pass
// that fetches 300 document pages and hands their PDF links over to the list. A 10 ms timer
// measures the lateness: median, 99th percentile, worst. Each large file is a real PDF, so the
// document check opens it beside the other downloads, as it does for the user.
#include "app/workspace.h"
#include "common/program.h"
#include "common/settings.h"
#include "download/downloadlist.h"
#include "download/ffiledownload.h"
#include "download/handover.h"
#include "download/scheduler.h"
#include "lateness.h"
#include "search/articleanalysis.h"
#include "search/resultlist.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>

using namespace harvly;
using namespace std::chrono_literals;

namespace {

// The search window's part in an analysis pass: links go to the download window's list.
class BenchAnalysisHost final : public AnalysisHost
{
public:
    BenchAnalysisHost(DownloadListModel &list, Program &program) : m_list(list), m_program(program)
    {
    }
    void handOver(const QString &url, const QString &title, const QString &fileType,
                  const QString &ref, const QString &savePath, SharedRecord) override
    {
        QElapsedTimer t;
        t.start();
        handedOver +=
            AddDownloadRow(m_list, m_program, url, title, fileType, ref, savePath) ? 1 : 0;
        worstHandOverMs = std::max(worstHandOverMs, t.nsecsElapsed() / 1e6);
    }
    void showProgress(const QString &) override {}
    void setProgressVisible(bool) override {}
    void clearBrowserCache() override {}
    void tellAnalysisFailed(const QString &) override {}
    QCoro::Task<bool> askSavePath() override { co_return true; }
    bool promptsWhileHarvesting() const override { return false; }
    void showDownloadWindow() override {}
    void stopAutomaticAnalysis() override {}
    std::chrono::seconds delay() const override { return std::chrono::seconds(0); }

    int handedOver = 0;
    double worstHandOverMs = 0;

private:
    DownloadListModel &m_list;
    Program &m_program;
};

QCoro::Task<> analyse(ArticleAnalysis *analysis, bool *done)
{
    QCoro::Task<> pass = analysis->runPass(AnalysisPass::All, {});
    co_await pass;
    *done = true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    const qint64 mib = argc > 2 ? QByteArray(argv[2]).toLongLong() : 64;
    // "junk": the large files are junk between a PDF signature and its end marker, which the
    // document check must search through before it calls them damaged.
    const bool junk = argc > 3 && QByteArray(argv[3]) == "junk";

    QProcess site;
    site.start(QCoreApplication::applicationDirPath() +
                   QStringLiteral("/../testsite/harvly-testsite"),
               {QStringLiteral("--port"), QStringLiteral("0")});
    if (!site.waitForReadyRead(10000)) {
        out << "responsiveness bench: the sample site did not start\n";
        return 1;
    }
    const QString root = QString::fromUtf8(site.readLine()).trimmed();
    QTemporaryDir dir;
    const Build build = Build::english();
    Program program(build, std::make_unique<Settings>(build, dir.filePath("settings.ini")));
    program.settings().set(Keys::DownloadMode, 2);
    // The list is kept as the program keeps it: written while it changes and when rows end.
    program.listStoreFile = dir.filePath(QStringLiteral("DownloadList.json"));
    Workspace workspace(program, dir.filePath("browser"));
    fFileDownload *window = workspace.downloadWindow();
    window->askYesNo = [](const QString &) { return true; };
    window->show();
    const QString folder = dir.filePath(QStringLiteral("dl")) + QLatin1Char('/');

    QElapsedTimer t;
    t.start();
    // Six large files first (they start), then the rest of the list, waiting behind them.
    for (int i = 0; i < 6; ++i) {
        AddDownloadRow(window->list(), program,
                       root + QStringLiteral("big/%1.pdf?size=%2%3")
                                  .arg(i)
                                  .arg(mib * 1024 * 1024)
                                  .arg(junk ? QStringLiteral("&junk=1") : QString()),
                       QStringLiteral("Big %1").arg(i), QStringLiteral("pdf"), QString(), folder);
    }
    for (int i = 6; i < rows; ++i) {
        AddDownloadRow(window->list(), program,
                       QStringLiteral("http://127.0.0.1:1/never/%1.pdf").arg(i),
                       QStringLiteral("Row %1").arg(i), QStringLiteral("pdf"), QString(), folder);
    }
    out << rows << " rows added in " << t.elapsed() << " ms\n";
    out.flush();

    // The result list of a search: document pages whose PDF links the pass looks up.
    constexpr int pages = 300;
    ResultListModel results;
    for (int i = 0; i < pages; ++i) {
        results.AddToLV1(QStringLiteral("Analysed %1").arg(i),
                         root + QStringLiteral("docview/%1?src=pq1").arg(i + 1),
                         root + QStringLiteral("search"), QStringLiteral("pdf"), folder,
                         QStringLiteral("PQ1"));
    }
    BenchAnalysisHost host(window->list(), program);
    ArticleAnalysis analysis(results, program.network(), host, build);
    analysis.setSecond(1ms); // the pauses between pages, shortened: the fetches are the work
    bool analysed = false;
    QElapsedTimer analysing;

    LatenessProbe probe;
    probe.start();
    analysing.start();
    analyse(&analysis, &analysed);
    double analysisSeconds = 0;
    double bigSeconds = 0;
    window->findChild<QComboBox *>(QStringLiteral("Combo1"))->setCurrentText(QStringLiteral("6"));
    window->Command4_Click();
    // Until the six large files are in (the rest would wait on a closed port).
    QElapsedTimer run;
    run.start();
    const auto bigDone = [&] {
        int done = 0;
        for (int i = 0; i < 6; ++i) {
            const DownloadState s = window->list().at(i).state;
            done += s == DownloadState::Finished || s == DownloadState::Failed ? 1 : 0;
        }
        return done == 6;
    };
    QEventLoop loop; // the bench's own wait; the windows stay open
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &watch, [&] {
        if (qEnvironmentVariableIsSet("BENCH_TRACE")) {
            out << window->list().ListCountsText() << '\n';
            out.flush();
        }
        if (analysed && analysisSeconds == 0) {
            analysisSeconds = analysing.elapsed() / 1000.0;
        }
        if (bigDone() && bigSeconds == 0) {
            bigSeconds = run.elapsed() / 1000.0;
        }
        if ((bigDone() && analysed) || run.elapsed() > 600000) {
            loop.quit();
        }
    });
    watch.start(100);
    loop.exec();
    probe.stop();
    window->scheduler().menuStopDownload();
    int finished = 0;
    int opened = 0;
    for (int i = 0; i < 6; ++i) {
        const DownloadRow &row = window->list().at(i);
        finished += row.state == DownloadState::Finished ? 1 : 0;
        // The document check ran on each beside the other downloads: opened, title found.
        opened += row.pages > 0 && row.note == RowNote::None ? 1 : 0;
    }
    out << "6 downloads of " << mib << " MiB: " << finished << " finished in "
        << QString::number(bigSeconds, 'f', 2) << " s, " << opened
        << " opened by the document check and carrying their titles\n";
    out << "analysis pass: " << host.handedOver << " of " << pages
        << " document pages handed over in " << QString::number(analysisSeconds, 'f', 2)
        << " s, the longest hand-over " << QString::number(host.worstHandOverMs, 'f', 2) << " ms\n";
    out << probe.report() << " (goal: worst under 50 ms)\n";
    out.flush();
    site.kill();
    site.waitForFinished();
    return 0;
}
