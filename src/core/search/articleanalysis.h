#pragma once

#include "common/build.h"
#include "common/stopsource.h"

#include <QNetworkAccessManager>

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>
#include <QSet>

#include "resultlist.h"

#include <chrono>
#include <optional>

namespace harvly {

// What an analysis pass needs from the window it runs in.
class AnalysisHost
{
public:
    virtual ~AnalysisHost() = default;
    // Queues a document link for download (the download window is made when needed).
    virtual void handOver(const QString &url, const QString &title, const QString &fileType,
                          const QString &ref, const QString &savePath, SharedRecord record) = 0;
    virtual void showProgress(const QString &text) = 0;
    virtual void setProgressVisible(bool visible) = 0;
    // After a failure: the site answers too many fetches with failures, so its pages are
    // not kept.
    virtual void clearBrowserCache() = 0;
    virtual void tellAnalysisFailed(const QString &message) = 0;
    // Asks for the save folder before a pass; false when the user cancelled.
    virtual QCoro::Task<bool> askSavePath() = 0;
    virtual bool promptsWhileHarvesting() const = 0;
    virtual void showDownloadWindow() = 0;
    virtual void stopAutomaticAnalysis() = 0;
    virtual std::chrono::seconds delay() const = 0; // the user's delay between fetched pages
};

enum class AnalysisPass { All, Selected, Unanalyzed, Failure };

// Turns result rows into download rows: some hand over at once, others have their document
// page fetched and searched for the PDF link, with a pause and the user's delay after every
// fetch, stopping the pass at the first failure.
class ArticleAnalysis final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ArticleAnalysis)

public:
    ArticleAnalysis(ResultListModel &list, QNetworkAccessManager &network, AnalysisHost &host,
                    const Build &build, QObject *parent = nullptr);

    // True while no pass runs, or when the running one is asked to stop.
    bool AnalysisStopped = true;
    int AnalysisFailureCount = 0;
    // One "second" of the pauses and delays; tests make it short.
    void setSecond(std::chrono::milliseconds second) { m_second = second; }

    // A pass (manual or automatic) is under way, from its start to the end of its last delay;
    // another pass refuses to start meanwhile.
    bool running() const { return m_running; }

    QCoro::Task<> runPass(AnalysisPass pass, QSet<quint64> selected);
    QCoro::Task<> RunAutomaticAnalysisPass();
    QCoro::Task<> AnalysisAddToDownloadList(quint64 rowId, int index);
    // The user's stop: the pass ends at once, its delay too (the next fetch waits the rest).
    void Stop()
    {
        AnalysisStopped = true;
        m_stop.stop();
    }

signals:
    void runningChanged(bool running);

private:
    class RunGuard;
    struct FetchedPage {
        ResultRow row;
        QString text;
        QString url; // where the page finally came from
    };
    QCoro::Task<std::optional<FetchedPage>> fetchDocumentPage(quint64 rowId, int index,
                                                              bool downloadPdf);
    void recordOutcome(quint64 rowId, bool found);
    // The page's citation record kept with its row; its PDF handed over when the site's
    // markers found none (true when it was).
    bool takeRecord(const FetchedPage &page, bool markersFound);
    QCoro::Task<> AnalyseEmbeddedPdfPage(quint64 rowId, int index);
    QCoro::Task<> AnalyseDownloadPdfPage(quint64 rowId, int index);
    void AnalysisOfSuccessfulMonitoring(bool showPrompt);
    QCoro::Task<> pause();
    QCoro::Task<> yanshi();
    QCoro::Task<> restOfDelay();
    QString progressText(int index, bool downloadPdf) const;

    ResultListModel &m_list;
    QPointer<QNetworkAccessManager> m_network;
    AnalysisHost &m_host;
    Build m_build;
    std::chrono::milliseconds m_second{1000};
    // Waits for a busy site; false when the pass stopped meanwhile.
    static QCoro::Task<bool> waitUnlessStopped(QPointer<ArticleAnalysis> self,
                                               std::chrono::seconds pause);
    bool m_running = false;
    StopSource m_stop; // the user's stop; a pass ended by its own failure waits its delay
    std::chrono::steady_clock::time_point m_quietUntil; // the user's delay lasts until then
};

} // namespace harvly
