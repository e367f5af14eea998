#include "bulkrun.h"

#include "common/citationrecord.h"
#include "common/urltext.h"

#include <QNetworkReply>
#include <QPointer>

namespace harvly {

QStringList BulkLines(const QString &text)
{
    QString t = text;
    t.remove(QChar(0));
    t.replace(QLatin1String("\r\n"), QLatin1String("\r"))
        .replace(QLatin1Char('\n'), QLatin1Char('\r'));
    return t.split(QLatin1Char('\r'));
}

QString BulkLineAddress(const QString &line, const QString &doiResolver)
{
    const QString doi = NormalizeDoi(line);
    if (!doi.isEmpty()) {
        const QString resolver = doiResolver.trimmed();
        return resolver.endsWith(QLatin1Char('/')) ? resolver + doi
                                                   : resolver + QLatin1Char('/') + doi;
    }
    const QString address = line.trimmed();
    return address.startsWith(QLatin1String("http"), Qt::CaseInsensitive) ? address : QString();
}

QStringList BulkAddressLines(const QString &text, const QString &doiResolver)
{
    QStringList out;
    for (const QString &line : BulkLines(text)) {
        const QString address = BulkLineAddress(line, doiResolver);
        if (!address.isEmpty()) {
            out << address;
        }
    }
    return out;
}

namespace {

// The run's own wait, which a stop ends; false when the run stopped.
QCoro::Task<bool> waitUnlessStopped(QPointer<BulkUrlRun> run, std::chrono::seconds pause)
{
    if (!run || run->stopRequested()) {
        co_return false;
    }
    QCoro::Task<> sleep = run->sleep(pause);
    co_await sleep;
    co_return run && !run->stopRequested();
}

} // namespace

QCoro::Task<bool> AddByDownloadMethod(QPointer<QNetworkAccessManager> network,
                                      QPointer<ResultListModel> list, HarvestOptions options,
                                      QString address, QPointer<BulkUrlRun> run)
{
    const auto abortOnStop = [run](QNetworkReply *reply) {
        if (run) {
            QObject::connect(run, &BulkUrlRun::stopped, reply, &QNetworkReply::abort);
        }
    };
    // A busy site is waited for (the run's own wait, which a stop ends) as long as it asks.
    const BusyWait wait = [run](std::chrono::seconds pause) {
        return waitUnlessStopped(run, pause);
    };
    // A redirect (a DOI's resolver) sends the fetch on: the record's links are read against
    // the page it came from.
    const auto finalUrl = std::make_shared<QUrl>(address);
    QCoro::Task<std::optional<QString>> fetch =
        FetchPageWaitingForBusySite(network.data(), QUrl(address), QStringLiteral("utf-8"), wait,
                                    KeepFinalUrl(finalUrl, abortOnStop));
    const std::optional<QString> html = co_await fetch;
    if (!html || list.isNull() || (run && run->stopRequested())) {
        co_return false; // a stopped fetch's part of a page is no page
    }
    co_return ExtractSingleArticlePdfUrl2(*html, address, *list, options, finalUrl->toString());
}

BulkUrlRun::BulkUrlRun(QObject *parent) : QObject(parent)
{
    connect(&m_stop, &StopSource::stopped, this, &BulkUrlRun::stopped);
    sleep = [this](std::chrono::milliseconds delay) -> QCoro::Task<> {
        // Woken by a stop at once; otherwise the whole delay.
        QCoro::Task<bool> wait = WaitUnlessStopped(&m_stop, delay);
        co_await wait;
    };
}

void BulkUrlRun::stop()
{
    if (m_running) {
        m_stop.stop();
    }
}

QCoro::Task<BulkRunResult> BulkUrlRun::run(QString text, Analyse analyse,
                                           std::chrono::seconds delay)
{
    if (m_running) {
        co_return BulkRunResult{};
    }
    QPointer<BulkUrlRun> self(this);
    m_running = true;
    m_stop.reset();
    BulkRunResult result;
    const QStringList lines = BulkLines(text);
    for (int i = 0; i < lines.size(); ++i) {
        emit progress(i + 1, int(lines.size()));
        const QString address = BulkLineAddress(lines.at(i), doiResolver);
        if (address.isEmpty()) {
            continue;
        }
        ++result.addresses;
        if (m_stop.isStopped()) {
            result.unsuccessful << address; // not analysed
            continue;
        }
        const auto taken = now();
        QCoro::Task<bool> one = analyse(address);
        const bool added = co_await one;
        if (!self) {
            co_return result;
        }
        if (added) {
            ++result.added;
        } else {
            result.unsuccessful << address;
        }
        // The site is given the delay from when the address was taken: an analysis that took
        // long has used up part of it.
        const auto rest =
            std::chrono::duration_cast<std::chrono::milliseconds>(delay - (now() - taken));
        if (!m_stop.isStopped() && rest.count() > 0) {
            QCoro::Task<> wait = sleep(rest);
            co_await wait;
            if (!self) {
                co_return result;
            }
        }
    }
    result.stopped = m_stop.isStopped();
    m_running = false;
    m_stop.reset();
    co_return result;
}

} // namespace harvly
