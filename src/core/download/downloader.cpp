#include "downloader.h"

#include "busyanswer.h"
#include "common/urls.h"
#include "documentrequest.h"
#include "failurereason.h"
#include "resume.h"
#include "transferfile.h"

#include <QFutureWatcher>
#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace harvly {

Downloader::Downloader(QNetworkAccessManager &network, EngineLimits limits, QObject *parent)
    : QObject(parent), m_network(&network), m_limits(limits)
{
    m_stall.setSingleShot(true);
    connect(&m_stall, &QTimer::timeout, this, [this] { fail(FailureReason::stalled(), true); });
}

Downloader::~Downloader()
{
    CancelAsyncRead();
}

void Downloader::BeginDownload(const QString &address, std::unique_ptr<TransferFile> file,
                               const QString &referer)
{
    m_file = std::move(file);
    m_saveFile = m_file ? m_file->target() : QString();
    const QUrl url(address);
    if (!m_network || !m_file || !IsFetchableAddress(url)) {
        m_reason = m_file ? FailureReason::unsupported() : FailureReason::notAFolder();
        QTimer::singleShot(0, this, [this] { fail(m_reason); });
        return;
    }
    QNetworkRequest request =
        DocumentRequest(url, referer.isEmpty() ? GetUrlBase(address, false) : referer);
    if (m_file->offset() > 0) {
        AskForRest(request, m_file->offset(), m_file->partial().validator);
    }
    m_reply.reset(m_network->get(request));
    m_reply->setParent(nullptr);
    m_reply->setReadBufferSize(1024 * 1024);
    connect(m_reply.get(), &QNetworkReply::metaDataChanged, this, &Downloader::answered);
    connect(m_reply.get(), &QNetworkReply::readyRead, this, &Downloader::readMore);
    connect(m_reply.get(), &QNetworkReply::finished, this, &Downloader::finished);
    m_stall.start(m_limits.stall);
}

void Downloader::answered()
{
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (m_answered || m_done ||
        (status >= 300 && status < 400 && m_reply->hasRawHeader("Location"))) {
        return; // a redirect being followed is not the document's answer
    }
    m_answered = true;
    if (IsBusyStatus(status)) {
        busy();
        return;
    }
    if (!m_file->takeAnswer(*m_reply)) {
        fail(m_file->errorString());
        return;
    }
    m_expected = m_file->wholeSize(*m_reply);
    emit DownloadAnswered();
}

void Downloader::readMore()
{
    if (!m_file->drain(m_reply.get())) {
        fail(m_file->errorString());
        return;
    }
    m_stall.start(m_limits.stall);
    if (m_expected > 0) {
        emit DownloadProgress(m_file->written(), m_expected, m_saveFile);
    }
}

void Downloader::finished()
{
    if (m_done) {
        return;
    }
    readMore();
    if (m_done) {
        return;
    }
    m_stall.stop();
    const QString failure =
        FailureReason::ofTransfer(*m_reply, m_file->written(), m_expected, failServerErrors);
    if (!failure.isEmpty()) {
        fail(failure, CutOff(*m_reply, m_file->written(), m_expected));
        return;
    }
    if (checkPdfEnd && !m_file->pdfIsWhole()) {
        fail(FailureReason::incompletePdf());
        return;
    }
    if (!m_file->bringsTheDocument()) {
        fail(FailureReason::pageInsteadOfDocument());
        return;
    }
    if (m_expected == 0) { // the whole body is its size
        emit DownloadProgress(m_file->written(), m_file->written(), m_saveFile);
    }
    const qint64 size = m_expected > 0 ? m_expected : m_file->written();
    const QString pdf = checkDocuments ? m_file->pdfToCheck() : QString();
    if (pdf.isEmpty()) {
        place(size);
        return;
    }
    // Opening the document takes a while: never on the window's thread.
    auto *watcher = new QFutureWatcher<DocumentCheck>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, size] {
        watcher->deleteLater();
        if (m_done) {
            return; // cancelled meanwhile
        }
        m_check = watcher->result();
        if (m_check->opens == DocumentCheck::Opens::Damaged) {
            fail(FailureReason::damagedPdf(m_check->problem));
            return;
        }
        place(size);
    });
    watcher->setFuture(CheckPdfDocumentLater(pdf, documentTitle));
}

void Downloader::place(qint64 size)
{
    const TransferFile::Result placed = m_file->commit();
    if (placed == TransferFile::Result::Failed) {
        fail(m_file->errorString());
        return;
    }
    m_done = true;
    m_saveFile = m_file->target();
    if (placed == TransferFile::Result::Skipped) {
        emit DownloadSkipped(m_saveFile);
    } else {
        emit DownloadComplete(size, m_saveFile);
    }
}

void Downloader::busy()
{
    if (m_done) {
        return;
    }
    m_done = true;
    m_stall.stop();
    const QByteArray retryAfter = m_reply->rawHeader("Retry-After");
    m_reply->disconnect(this);
    // Not from inside the reply's own metaDataChanged, which Qt does not expect.
    QTimer::singleShot(0, m_reply.get(), &QNetworkReply::abort);
    if (m_file) {
        m_kept = m_file->keep(); // an earlier part waits with its row
    }
    emit DownloadBusy(retryAfter);
}

void Downloader::fail(const QString &reason, bool cutOff)
{
    if (m_done) {
        return;
    }
    m_done = true;
    m_reason = reason;
    m_stall.stop();
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
    if (m_file) {
        if (cutOff) {
            m_kept = m_file->keep();
        }
        m_file->discard();
    }
    emit DownloadError(m_saveFile);
}

void Downloader::CancelAsyncRead()
{
    m_stall.stop();
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply.reset();
    }
    if (m_file && !m_done) {
        m_kept = m_file->keep(); // a stop is an interruption: continued when it can be
    }
    m_done = true;
}

} // namespace harvly
