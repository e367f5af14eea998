#include "articleanalysis.h"

#include "common/urltext.h"

#include "citationreader.h"
#include "pagemarkers.h"
#include "resultlist.h"
#include <QNetworkAccessManager>

#include <QCoreApplication>
#include <QCoro/QCoroTimer>

namespace harvly {

namespace {
using Clock = std::chrono::steady_clock;
} // namespace

// Marks a pass as running for as long as it lives; the analysis may be gone by its end.
class ArticleAnalysis::RunGuard final
{
public:
    explicit RunGuard(ArticleAnalysis *analysis) : m_analysis(analysis)
    {
        m_analysis->m_running = true;
        emit m_analysis->runningChanged(true);
    }
    ~RunGuard()
    {
        if (m_analysis) {
            m_analysis->m_running = false;
            emit m_analysis->runningChanged(false);
        }
    }
    Q_DISABLE_COPY_MOVE(RunGuard)

private:
    QPointer<ArticleAnalysis> m_analysis;
};

ArticleAnalysis::ArticleAnalysis(ResultListModel &list, QNetworkAccessManager &network,
                                 AnalysisHost &host, const Build &build, QObject *parent)
    : QObject(parent), m_list(list), m_network(&network), m_host(host), m_build(build)
{
}

QString ArticleAnalysis::progressText(int index, bool downloadPdf) const
{
    return (downloadPdf ? tr("Analysising :%1,Please wait ...")
                        : tr("Analysising:%1,Please wait ..."))
        .arg(index);
}

QCoro::Task<> ArticleAnalysis::pause()
{
    QCoro::Task<bool> wait = WaitUnlessStopped(&m_stop, m_second);
    co_await wait;
}

QCoro::Task<> ArticleAnalysis::yanshi()
{
    // The user's delay. The user's stop ends it at once, but the site is still given its
    // rest: the next page fetch, of this pass or the next, waits for what is left of it.
    const qint64 seconds = m_host.delay().count();
    if (seconds <= 0) {
        co_return;
    }
    m_quietUntil = Clock::now() + m_second * seconds;
    QCoro::Task<> rest = restOfDelay();
    co_await rest;
}

QCoro::Task<> ArticleAnalysis::restOfDelay()
{
    const auto rest =
        std::chrono::duration_cast<std::chrono::milliseconds>(m_quietUntil - Clock::now());
    if (rest.count() > 0) {
        QCoro::Task<bool> wait = WaitUnlessStopped(&m_stop, rest);
        co_await wait;
    }
}

void ArticleAnalysis::AnalysisOfSuccessfulMonitoring(bool showPrompt)
{
    if (AnalysisFailureCount > 0) {
        AnalysisStopped = true;
        m_host.clearBrowserCache();
        if (showPrompt) {
            m_host.tellAnalysisFailed(
                tr("Analysis failed! Probably because the analysis too fast, not so much "
                   "continuous analysis article!"));
        }
    }
}

QCoro::Task<bool> ArticleAnalysis::waitUnlessStopped(QPointer<ArticleAnalysis> self,
                                                     std::chrono::seconds pause)
{
    if (!self || self->AnalysisStopped) {
        co_return false;
    }
    QCoro::Task<bool> wait = WaitUnlessStopped(&self->m_stop, self->m_second * pause.count());
    const bool waited = co_await wait;
    co_return waited &&self && !self->AnalysisStopped;
}

QCoro::Task<std::optional<ArticleAnalysis::FetchedPage>>
ArticleAnalysis::fetchDocumentPage(quint64 rowId, int index, bool downloadPdf)
{
    QPointer<ArticleAnalysis> self(this);
    const ResultRow *row = m_list.find(rowId);
    if (!row) {
        co_return std::nullopt;
    }
    QCoro::Task<> rest = restOfDelay();
    co_await rest;
    if (!self || AnalysisStopped || !m_list.find(rowId)) {
        co_return std::nullopt;
    }
    row = m_list.find(rowId);
    m_host.showProgress(progressText(index, downloadPdf));
    FetchedPage page{*row, QString(), row->key};
    // A site that says it is busy is waited for as long as it asks, unless the pass stops.
    const BusyWait wait = [self](std::chrono::seconds pause) {
        return waitUnlessStopped(self, pause);
    };
    const auto finalUrl = std::make_shared<QUrl>(page.row.key);
    QCoro::Task<std::optional<QString>> fetch = FetchPageWaitingForBusySite(
        m_network, QUrl(page.row.key), QStringLiteral("utf-8"), wait, KeepFinalUrl(finalUrl));
    const std::optional<QString> text = co_await fetch;
    if (!self) {
        co_return std::nullopt;
    }
    page.text = text.value_or(QString());
    page.url = finalUrl->toString();
    co_return page;
}

bool ArticleAnalysis::takeRecord(const FetchedPage &page, bool markersFound)
{
    const SharedRecord record = ShareRecord(ReadCitationRecord(page.text, page.url));
    m_list.setRecord(page.row.id, record);
    if (markersFound || !record || record->pdfUrl.isEmpty()) {
        return false;
    }
    // Pages of other publishers and databases: the link their record names.
    m_host.handOver(record->pdfUrl, page.row.title.isEmpty() ? record->title : page.row.title,
                    QStringLiteral("pdf"), page.row.key, page.row.savePath, record);
    return true;
}

void ArticleAnalysis::recordOutcome(quint64 rowId, bool found)
{
    m_list.setAnalysisState(rowId, found ? Analysis::Success : Analysis::Failure);
    AnalysisFailureCount = found ? 0 : AnalysisFailureCount + 1;
}

QCoro::Task<> ArticleAnalysis::AnalyseEmbeddedPdfPage(quint64 rowId, int index)
{
    QCoro::Task<std::optional<FetchedPage>> fetch = fetchDocumentPage(rowId, index, false);
    const std::optional<FetchedPage> page = co_await fetch;
    if (!page) {
        co_return;
    }
    const QStringList links = FindEmbeddedPdfLinks(page->text);
    const bool byRecord = takeRecord(*page, !links.isEmpty());
    const SharedRecord record = m_list.find(rowId) ? m_list.find(rowId)->record : nullptr;
    for (const QString &link : links) {
        // The download list skips a link it already holds.
        m_host.handOver(link, page->row.title, page->row.fileType, page->row.key,
                        page->row.savePath, record);
    }
    recordOutcome(rowId, !links.isEmpty() || byRecord);
    QCoro::Task<> wait = pause();
    co_await wait;
}

QCoro::Task<> ArticleAnalysis::AnalyseDownloadPdfPage(quint64 rowId, int index)
{
    QCoro::Task<std::optional<FetchedPage>> fetch = fetchDocumentPage(rowId, index, true);
    const std::optional<FetchedPage> page = co_await fetch;
    if (!page) {
        co_return;
    }
    const QString link = FindDownloadPdfLink(page->text);
    const bool byRecord = takeRecord(*page, !link.isEmpty());
    if (!link.isEmpty()) {
        const SharedRecord record = m_list.find(rowId) ? m_list.find(rowId)->record : nullptr;
        m_host.handOver(link, page->row.title, page->row.fileType, page->row.key,
                        page->row.savePath, record);
    }
    recordOutcome(rowId, !link.isEmpty() || byRecord);
    QCoro::Task<> wait = pause();
    co_await wait;
}

QCoro::Task<> ArticleAnalysis::AnalysisAddToDownloadList(quint64 rowId, int index)
{
    QPointer<ArticleAnalysis> self(this);
    const ResultRow *row = m_list.find(rowId);
    if (!row) {
        co_return;
    }
    const QString type = row->type;
    const bool pdf = row->fileType == QLatin1String("pdf");
    const bool fetchEmbedded = type == QLatin1String("SPC");
    const bool fetchDownload = type == QLatin1String("PQ1") && pdf;
    if (type == QLatin1String("SS") || type == QLatin1String("DT") ||
        (type == QLatin1String("PQ1") && !pdf)) {
        m_host.handOver(row->key, row->title, row->fileType, row->tag, row->savePath, row->record);
        m_list.setAnalysisState(rowId, Analysis::Success);
        co_return;
    }
    if (!fetchEmbedded && !fetchDownload) {
        co_return; // an unknown source: left as it is
    }
    QCoro::Task<> analyse =
        fetchEmbedded ? AnalyseEmbeddedPdfPage(rowId, index) : AnalyseDownloadPdfPage(rowId, index);
    co_await analyse;
    if (!self) {
        co_return;
    }
    AnalysisOfSuccessfulMonitoring(true);
    QCoro::Task<> delay = yanshi();
    co_await delay;
}

QCoro::Task<> ArticleAnalysis::runPass(AnalysisPass pass, QSet<quint64> selected)
{
    if (m_running) {
        co_return;
    }
    const RunGuard guard(this);
    QPointer<ArticleAnalysis> self(this);
    m_host.stopAutomaticAnalysis();
    AnalysisStopped = false;
    m_stop.reset();
    m_host.showProgress(
        QCoreApplication::translate("harvly::fWebSearch", "Analyzing, please wait ..."));
    m_host.setProgressVisible(true);
    AnalysisFailureCount = 0;
    QCoro::Task<> turn = NextTurn();
    co_await turn;
    bool go = self && m_list.size() > 0;
    if (go && !m_host.promptsWhileHarvesting()) {
        QCoro::Task<bool> ask = m_host.askSavePath();
        go = co_await ask;
    }
    if (go && self) {
        const QList<quint64> ids = m_list.ids();
        for (int i = 0; i < ids.size() && self && !AnalysisStopped; ++i) {
            const ResultRow *row = m_list.find(ids.at(i));
            if (!row) {
                continue;
            }
            const bool qualifies =
                pass == AnalysisPass::All ||
                (pass == AnalysisPass::Selected && selected.contains(row->id)) ||
                (pass == AnalysisPass::Unanalyzed && row->analysisState == Analysis::NotYet) ||
                (pass == AnalysisPass::Failure && row->analysisState == Analysis::Failure);
            if (qualifies) {
                QCoro::Task<> one = AnalysisAddToDownloadList(ids.at(i), i + 1);
                co_await one;
            }
            QCoro::Task<> turn = NextTurn();
            co_await turn;
        }
    }
    if (!self) {
        co_return;
    }
    m_host.setProgressVisible(false);
    AnalysisStopped = true;
    m_host.showDownloadWindow();
}

QCoro::Task<> ArticleAnalysis::RunAutomaticAnalysisPass()
{
    if (m_running) {
        co_return;
    }
    const RunGuard guard(this);
    QPointer<ArticleAnalysis> self(this);
    m_host.showProgress(
        QCoreApplication::translate("harvly::fWebSearch", "Analyzing, please wait ..."));
    m_host.setProgressVisible(true);
    AnalysisStopped = false;
    m_stop.reset();
    AnalysisFailureCount = 0;
    QCoro::Task<> turn = NextTurn();
    co_await turn;
    const QList<quint64> ids = self ? m_list.ids() : QList<quint64>();
    for (int i = 0; i < ids.size() && self && !AnalysisStopped; ++i) {
        const ResultRow *row = m_list.find(ids.at(i));
        if (row && row->analysisState != Analysis::Success) {
            QCoro::Task<> one = AnalysisAddToDownloadList(ids.at(i), i + 1);
            co_await one;
        }
        QCoro::Task<> turn = NextTurn();
        co_await turn;
    }
    if (self) {
        m_host.setProgressVisible(false);
        AnalysisStopped = true;
    }
}

} // namespace harvly
