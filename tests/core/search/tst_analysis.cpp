#include "common/program.h"
#include "download/downloadlist.h"
#include "download/handover.h"
#include "search/articleanalysis.h"
#include "search/resultlist.h"
#include "support/chinesetexts.h"
#include "testsite.h"

#include <QCoro/QCoroTask>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QTest>

using namespace harvly;
using namespace std::chrono_literals;

// Stands in for the search window: hands over into a real download list, records the rest.
class Host final : public AnalysisHost
{
public:
    Host(DownloadListModel &downloads, Program &program)
        : m_downloads(downloads), m_program(program)
    {
    }
    void handOver(const QString &url, const QString &title, const QString &fileType,
                  const QString &ref, const QString &savePath, SharedRecord record) override
    {
        ++handOvers;
        AddDownloadRow(m_downloads, m_program, url, title, fileType, ref, savePath, record);
    }
    void showProgress(const QString &text) override { progress << text; }
    void setProgressVisible(bool visible) override { progressVisible = visible; }
    void clearBrowserCache() override { ++cacheClears; }
    void tellAnalysisFailed(const QString &message) override { messages << message; }
    QCoro::Task<bool> askSavePath() override
    {
        ++asked;
        co_return answerOk;
    }
    bool promptsWhileHarvesting() const override { return prompt; }
    void showDownloadWindow() override { ++downloadWindowShown; }
    void stopAutomaticAnalysis() override { ++automaticStopped; }
    std::chrono::seconds delay() const override { return seconds; }

    int handOvers = 0;
    QStringList progress;
    bool progressVisible = false;
    int cacheClears = 0;
    QStringList messages;
    int asked = 0;
    bool answerOk = true;
    bool prompt = true;
    int downloadWindowShown = 0;
    int automaticStopped = 0;
    std::chrono::seconds seconds{0};

private:
    DownloadListModel &m_downloads;
    Program &m_program;
};

class tst_Analysis : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_site.start()); }
    void init();
    void rowsThatAreFilesNeedNoFetch();
    void fetchedPagesGiveTheirPdf();
    void recordsPdfOnlyWithoutTheSitesMarkers_data();
    void recordsPdfOnlyWithoutTheSitesMarkers();
    void passStopsAfterTheFirstFailure();
    void cancelledFolderEndsThePassFirst();
    void failurePassWithoutFailuresStillShowsTheWindow();
    void selectedPassTakesOnlyTheSelection();
    void delay_data();
    void delay();
    void automaticPassTakesUnanalysedAndFailed();
    void onePassAtATimeDelayIncluded_data();
    void onePassAtATimeDelayIncluded();
    void chineseStateTexts();

private:
    void addRow(const QString &title, const QString &path, const QString &fileType,
                const QString &type)
    {
        m_results->AddToLV1(title, m_site.url(path).toString(), m_site.url("/search").toString(),
                            fileType, "/save/", type);
    }
    int siteHits(qsizetype from, const QString &what) const
    {
        int n = 0;
        for (const QString &r : m_site.requests().mid(from)) {
            n += r.contains(what);
        }
        return n;
    }

    testsite::TestSite m_site;
    QNetworkAccessManager m_network;
    QTemporaryDir m_dir;
    std::unique_ptr<Program> m_program;
    std::unique_ptr<ResultListModel> m_results;
    std::unique_ptr<DownloadListModel> m_downloads;
    std::unique_ptr<Host> m_host;
    std::unique_ptr<ArticleAnalysis> m_analysis;
};

void tst_Analysis::init()
{
    m_program = std::make_unique<Program>(
        Build::english(), std::make_unique<Settings>(Build::english(), m_dir.filePath("s.ini")));
    m_program->downloadSaveFolder = "/downloads/";
    m_results = std::make_unique<ResultListModel>();
    m_downloads = std::make_unique<DownloadListModel>();
    m_host = std::make_unique<Host>(*m_downloads, *m_program);
    m_analysis =
        std::make_unique<ArticleAnalysis>(*m_results, m_network, *m_host, Build::english());
    m_analysis->setSecond(5ms);
}

void tst_Analysis::rowsThatAreFilesNeedNoFetch()
{
    addRow("Doc one", "/pdf/1.pdf", "pdf", "DT");
    addRow("Doc\r\ntwo", "/pdf/2.pdf", "pdf", "SS");
    addRow("Html item", "/docview/3/fulltext", "htm", "PQ1");
    addRow("Unknown source", "/pdf/4.pdf", "pdf", "XYZ");
    m_host->seconds = std::chrono::seconds(600); // would be ten minutes, were any page fetched
    const qsizetype before = m_site.requests().size();
    QElapsedTimer t;
    t.start();
    QCoro::waitFor(m_analysis->runPass(AnalysisPass::All, {}));
    QVERIFY(t.elapsed() < 2000);
    QCOMPARE(m_site.requests().size(), before);
    QCOMPARE(m_downloads->size(), 3);
    QCOMPARE(m_downloads->at(1).text, QString("Doctwo"));
    QVERIFY(m_downloads->at(2).queuedAsPage);
    QCOMPARE(m_downloads->at(0).tag, m_site.url("/search").toString());
    QCOMPARE(m_results->at(0).analysisState, Analysis::Success);
    QCOMPARE(m_results->at(3).analysisState, Analysis::NotYet); // untouched
    QVERIFY(m_analysis->AnalysisStopped);
    QCOMPARE(m_host->downloadWindowShown, 1);
    QCOMPARE(m_host->automaticStopped, 1);
    QVERIFY(!m_host->progressVisible);
}

void tst_Analysis::fetchedPagesGiveTheirPdf()
{
    addRow("Embedded", "/docview/5/fulltextPDF?accountid=7&src=spc", "pdf", "SPC");
    addRow("Download PDF", "/docview/6?src=pq1", "pdf", "PQ1");
    addRow("Embedded again", "/docview/5/fulltextPDF?accountid=7&src=spc", "pdf", "SPC");
    QCoro::waitFor(m_analysis->runPass(AnalysisPass::All, {}));
    QCOMPARE(m_results->at(0).analysisState, Analysis::Success);
    QCOMPARE(m_results->at(1).analysisState, Analysis::Success);
    // The same PDF reached twice is queued once.
    QCOMPARE(m_downloads->size(), 2);
    QCOMPARE(m_downloads->at(0).key, m_site.url("/pdf/5.pdf?accountid=7&t=doc").toString());
    QCOMPARE(m_downloads->at(0).tag,
             m_site.url("/docview/5/fulltextPDF?accountid=7&src=spc").toString());
    QCOMPARE(m_downloads->at(0).savePath, QString("/save/"));
    QCOMPARE(m_downloads->at(1).key, m_site.url("/pdf/6.pdf?accountid=7&t=doc").toString());
    QCOMPARE(m_host->progress.value(1), QString("Analysising:1,Please wait ..."));
    QCOMPARE(m_host->progress.value(2), QString("Analysising :2,Please wait ..."));
    QVERIFY(m_host->messages.isEmpty());
    QCOMPARE(m_host->cacheClears, 0);
}

void tst_Analysis::recordsPdfOnlyWithoutTheSitesMarkers_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("pdf"); // "" when nothing is handed over
    QTest::addColumn<int>("record");  // the sample record the page states
    QTest::newRow("the site's Download PDF marker first") << "/docview/12?src=pq1"
                                                          << "PQ1"
                                                          << "/pdf/12.pdf?accountid=7&t=doc" << 12;
    QTest::newRow("the site's embedded viewer first") << "/docview/13/fulltextPDF"
                                                      << "SPC"
                                                      << "/pdf/13.pdf?accountid=7&t=doc" << 13;
    QTest::newRow("citation tags only") << "/paper/14"
                                        << "PQ1"
                                        << "/pdf/14.pdf" << 14;
    QTest::newRow("JSON-LD only") << "/paper/15/jsonld"
                                  << "SPC"
                                  << "/pdf/15.pdf" << 15;
    QTest::newRow("Dublin Core only") << "/paper/16/dc"
                                      << "PQ1"
                                      << "/pdf/16.pdf" << 16;
    QTest::newRow("a record that names no PDF") << "/paper/17/nopdf"
                                                << "PQ1"
                                                << "" << 17;
}

void tst_Analysis::recordsPdfOnlyWithoutTheSitesMarkers()
{
    QFETCH(QString, page);
    QFETCH(QString, type);
    QFETCH(QString, pdf);
    QFETCH(int, record);
    addRow("Harvested title", page, "pdf", type);
    QCoro::waitFor(m_analysis->runPass(AnalysisPass::All, {}));
    const QString doi = QString("10.5555/harvly.%1").arg(record);
    const ResultRow &row = m_results->at(0);
    QCOMPARE(row.analysisState, pdf.isEmpty() ? Analysis::Failure : Analysis::Success);
    QVERIFY(row.record);
    QCOMPARE(row.record->doi, doi);
    // Both lists show the record where the pointer rests on the title.
    const QString resultTip = m_results->index(0, 0).data(Qt::ToolTipRole).toString();
    QVERIFY2(resultTip.contains("doi:" + doi) && resultTip.contains(row.record->containerTitle),
             qPrintable(resultTip));
    QCOMPARE(m_downloads->size(), pdf.isEmpty() ? 0 : 1);
    if (!pdf.isEmpty()) {
        const DownloadRow &d = m_downloads->at(0);
        QCOMPARE(d.key, m_site.url(pdf).toString());
        QCOMPARE(d.text, QString("Harvested title")); // the harvested title stays first
        QVERIFY(d.record);
        QCOMPARE(d.record->doi, doi);
        QVERIFY(!d.record->authors.isEmpty());
        const QString tip = m_downloads->index(0, 0).data(Qt::ToolTipRole).toString();
        QVERIFY2(tip.startsWith(d.key + "\n") && tip.contains("doi:" + doi), qPrintable(tip));
    }
}

void tst_Analysis::passStopsAfterTheFirstFailure()
{
    addRow("Good", "/docview/7?src=pq1", "pdf", "PQ1");
    addRow("Relative link", "/docview/8/relative", "pdf", "PQ1");
    addRow("Never tried", "/docview/9?src=pq1", "pdf", "PQ1");
    addRow("Never tried either", "/pdf/10.pdf", "pdf", "DT");
    const qsizetype before = m_site.requests().size();
    QCoro::waitFor(m_analysis->runPass(AnalysisPass::All, {}));
    QCOMPARE(m_results->at(0).analysisState, Analysis::Success);
    QCOMPARE(m_results->at(1).analysisState, Analysis::Failure);
    QCOMPARE(m_results->at(2).analysisState, Analysis::NotYet);
    QCOMPARE(m_results->at(3).analysisState, Analysis::NotYet);
    QCOMPARE(siteHits(before, "/docview/9"), 0);
    QCOMPARE(m_host->messages.size(), 1);
    QVERIFY(m_host->messages.first().startsWith("Analysis failed!"));
    QCOMPARE(m_host->cacheClears, 1);
    QCOMPARE(m_downloads->size(), 1);

    // "Analysis Failure Items" tries the failed row again, and only that one.
    QCoro::waitFor(m_analysis->runPass(AnalysisPass::Failure, {}));
    QCOMPARE(siteHits(before, "/docview/8/relative"), 2);
    QCOMPARE(m_results->at(2).analysisState, Analysis::NotYet);
    QCOMPARE(m_host->messages.size(), 2);
}

void tst_Analysis::cancelledFolderEndsThePassFirst()
{
    addRow("Doc", "/pdf/1.pdf", "pdf", "DT");
    m_host->prompt = false; // the folder is asked for when a pass starts
    m_host->answerOk = false;
    QCoro::waitFor(m_analysis->runPass(AnalysisPass::All, {}));
    QCOMPARE(m_host->asked, 1);
    QCOMPARE(m_downloads->size(), 0);
    QCOMPARE(m_results->at(0).analysisState, Analysis::NotYet);
    QCOMPARE(m_host->downloadWindowShown, 1);

    m_host->answerOk = true;
    QCoro::waitFor(m_analysis->runPass(AnalysisPass::All, {}));
    QCOMPARE(m_host->asked, 2);
    QCOMPARE(m_downloads->size(), 1);
}

void tst_Analysis::failurePassWithoutFailuresStillShowsTheWindow()
{
    addRow("Doc", "/pdf/1.pdf", "pdf", "DT");
    QCoro::waitFor(m_analysis->runPass(AnalysisPass::Failure, {}));
    QCOMPARE(m_downloads->size(), 0);
    QCOMPARE(m_host->downloadWindowShown, 1);
    QCoro::waitFor(m_analysis->runPass(AnalysisPass::All, {}));
    QCOMPARE(m_host->downloadWindowShown, 2);
    // An empty list asks nothing and still ends by showing the window.
    m_results->clear();
    m_host->prompt = false;
    QCoro::waitFor(m_analysis->runPass(AnalysisPass::All, {}));
    QCOMPARE(m_host->asked, 0);
    QCOMPARE(m_host->downloadWindowShown, 3);
}

void tst_Analysis::selectedPassTakesOnlyTheSelection()
{
    addRow("A", "/pdf/1.pdf", "pdf", "DT");
    addRow("B", "/pdf/2.pdf", "pdf", "DT");
    addRow("C", "/pdf/3.pdf", "pdf", "DT");
    QCoro::waitFor(m_analysis->runPass(AnalysisPass::Selected, {m_results->at(1).id}));
    QCOMPARE(m_downloads->size(), 1);
    QCOMPARE(m_downloads->at(0).text, QString("B"));
    QCoro::waitFor(m_analysis->runPass(AnalysisPass::Unanalyzed, {}));
    QCOMPARE(m_downloads->size(), 3);
}

void tst_Analysis::delay_data()
{
    QTest::addColumn<int>("delay");
    QTest::addColumn<int>("minimumMs");
    QTest::addColumn<int>("maximumMs");
    // One "second" is 5 ms here; two fetched pages, each with its 1 s pause and the delay.
    QTest::newRow("numeric delay is waited after each page") << 40 << 2 * 40 * 5 << 5000;
    QTest::newRow("no delay waits nothing") << 0 << 0 << 390;
}

void tst_Analysis::delay()
{
    QFETCH(int, delay);
    QFETCH(int, minimumMs);
    QFETCH(int, maximumMs);
    addRow("One", "/docview/11?src=pq1", "pdf", "PQ1");
    addRow("Two", "/docview/12?src=pq1", "pdf", "PQ1");
    m_host->seconds = std::chrono::seconds(delay);
    QElapsedTimer t;
    t.start();
    QCoro::waitFor(m_analysis->runPass(AnalysisPass::All, {}));
    QVERIFY2(t.elapsed() >= minimumMs && t.elapsed() < maximumMs,
             qPrintable(QString::number(t.elapsed())));
    QCOMPARE(m_downloads->size(), 2);
}

void tst_Analysis::automaticPassTakesUnanalysedAndFailed()
{
    addRow("Done", "/pdf/1.pdf", "pdf", "DT");
    addRow("Failed", "/docview/13/relative", "pdf", "PQ1");
    addRow("New", "/pdf/14.pdf", "pdf", "DT");
    m_results->setAnalysisState(m_results->at(0).id, Analysis::Success);
    m_results->setAnalysisState(m_results->at(1).id, Analysis::Failure);
    QCoro::waitFor(m_analysis->RunAutomaticAnalysisPass());
    // The failed row fails again and stops the pass before the new one.
    QCOMPARE(m_downloads->size(), 0);
    QCOMPARE(m_host->messages.size(), 1);
    QCOMPARE(m_host->downloadWindowShown, 0); // the automatic pass shows no window
    QCOMPARE(m_host->asked, 0);
    QVERIFY(m_analysis->AnalysisStopped);
}

void tst_Analysis::onePassAtATimeDelayIncluded_data()
{
    QTest::addColumn<bool>("automatic");
    QTest::newRow("manual pass, a second asked meanwhile: refused?") << false;
    QTest::newRow("automatic pass, timer ticks during the delay: refused?") << true;
}

void tst_Analysis::onePassAtATimeDelayIncluded()
{
    QFETCH(bool, automatic);
    addRow("Failing", "/docview/17/relative", "pdf", "PQ1");
    m_host->seconds = std::chrono::seconds(20); // twenty of the test's seconds: 100 ms
    const qsizetype before = m_site.requests().size();
    QCoro::Task<> first = automatic ? m_analysis->RunAutomaticAnalysisPass()
                                    : m_analysis->runPass(AnalysisPass::All, {});
    QVERIFY(m_analysis->running());
    QElapsedTimer t;
    t.start();
    // The failure stops the pass at once, but the user's delay still runs: every tick meanwhile
    // (as the window's timer and button give them) is refused.
    while (!first.isReady()) {
        QCoro::Task<> again = automatic ? m_analysis->RunAutomaticAnalysisPass()
                                        : m_analysis->runPass(AnalysisPass::All, {});
        QVERIFY(again.isReady());
        QTest::qWait(5);
    }
    QVERIFY(t.elapsed() >= 90);
    QVERIFY(!m_analysis->running());
    QCOMPARE(siteHits(before, "/docview/17/relative"), 1);
    QCOMPARE(m_host->messages.size(), 1);
}

void tst_Analysis::chineseStateTexts()
{
    const ChineseTexts texts;
    QVERIFY(texts.loaded());
    ArticleAnalysis chinese(*m_results, m_network, *m_host, Build::chinese());
    chinese.setSecond(5ms);
    addRow("甲", "/docview/15?src=pq1", "pdf", "PQ1");
    addRow("乙", "/docview/16/relative", "pdf", "PQ1");
    m_results->setAnalysisState(m_results->at(1).id, Analysis::Failure);
    QCoro::waitFor(chinese.runPass(AnalysisPass::Unanalyzed, {}));
    QCOMPARE(AnalysisStateText(m_results->at(0).analysisState), QString("成功"));
    QCOMPARE(m_host->progress.value(1), QString("正在分析第1个，请稍候 ..."));
    // The failure pass takes the failed row again, and it fails again.
    const qsizetype before = m_host->progress.size();
    QCoro::waitFor(chinese.runPass(AnalysisPass::Failure, {}));
    QVERIFY(m_host->progress.size() > before);
    QCOMPARE(m_results->at(1).analysisState, Analysis::Failure);
    QCOMPARE(AnalysisStateText(m_results->at(1).analysisState), QString("分析失败"));
}

QTEST_GUILESS_MAIN(tst_Analysis)
#include "tst_analysis.moc"
