#include "singlerequestengine.h"

#include "busyanswer.h"
#include "common/filenames.h"
#include "common/files.h"
#include "common/signalwait.h"
#include "common/urls.h"
#include "correction.h"
#include "documentcheck.h"
#include "documentrequest.h"
#include "failurereason.h"
#include "http/sessionnetwork.h"
#include "resume.h"
#include "schedulerhost.h"
#include "transferfile.h"

#include <QCoro/QCoroFuture>
#include <QDir>
#include <QFileInfo>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QPointer>

namespace harvly {

namespace {

using namespace std::chrono_literals;
// How long one wait lasts before the limits, on the scheduler's clock, are looked at again.
constexpr auto kRecheck = 200ms;

// The connection states of a transfer, as status bar panel 3 shows them.
QString stateText(int state)
{
    static const char *const texts[] = {
        "0 无状态可报告。",
        "1 正在查询所指定的主机的 IP 地址...",
        "2 已成功地找到所指定的主机的 IP 地址。",
        "3 正在与主机连接...",
        "4 已与主机连接成功。",
        "5 正在向主机发送请求...",
        "6 发送请求已成功。",
        "7 正在接收主机的响应...",
        "8 已成功地接收到主机的响应。",
        "9 正在解除与主机的连接...",
        "10 已成功地与主机解除了连接。",
        "11 与主机通讯时出现了错误:",
        "12 该请求已经完成，并且所有数据均已接收到。",
    };
    return QString::fromUtf8(texts[qBound(0, state, 12)]);
}

} // namespace

SingleRequestEngine::SingleRequestEngine(EngineContext context, QObject *parent)
    : DownloadEngine(parent), m_context(std::move(context))
{
}

SingleRequestEngine::~SingleRequestEngine() = default;

void SingleRequestEngine::start(quint64 rowId)
{
    if (m_rowId != 0) {
        // Busy: the row goes back to wait for its turn.
        m_context.list.update(rowId, [](DownloadRow &r) {
            r.state = DownloadState::Waiting;
            r.note = RowNote::WaitReDownload;
        });
        return;
    }
    run(rowId);
}

QCoro::Task<> SingleRequestEngine::run(quint64 rowId)
{
    QPointer<SingleRequestEngine> self(this);
    m_rowId = rowId;
    m_cancelled = false;
    QCoro::Task<TransferOutcome> transfer = InetDownloadFile(rowId);
    const TransferOutcome outcome = co_await transfer;
    if (self) {
        m_rowId = 0;
        emit ended(rowId, outcome);
    }
}

void SingleRequestEngine::cancel(quint64 rowId, const QString &reason)
{
    if (rowId == m_rowId) {
        cancelAll(reason);
    }
}

void SingleRequestEngine::cancelAll(const QString &reason)
{
    if (m_rowId == 0) {
        return;
    }
    m_cancelled = true; // the transfer sees it at once and ends as cancelled
    m_context.list.update(m_rowId, [&](DownloadRow &r) {
        r.state = DownloadState::Failed;
        r.reason = reason;
    });
    emit wake();
}

QCoro::Task<TransferOutcome> SingleRequestEngine::InetDownloadFile(quint64 rowId)
{
    QPointer<SingleRequestEngine> self(this);
    const DownloadRow *row = m_context.list.find(rowId);
    if (!row) {
        co_return TransferOutcome::Failed;
    }
    m_context.host.statusText(2, tr("downloading:") + row->text);
    if (m_context.options.openRefererFirst && !row->tag.isEmpty()) {
        QCoro::Task<> open = m_context.host.openReferer(row->tag);
        co_await open;
        if (!self || !m_context.list.find(rowId)) {
            co_return TransferOutcome::Failed;
        }
    }
    std::unique_ptr<QNetworkReply> reply = request(rowId);
    TransferOutcome outcome = TransferOutcome::Failed;
    if (reply) {
        QCoro::Task<bool> headers = waitForHeaders(reply.get());
        const bool answered = co_await headers;
        if (!self) {
            co_return TransferOutcome::Failed;
        }
        qint64 size = AnnouncedSize(reply.get());
        std::unique_ptr<TransferFile> file;
        if (!answered) {
            const bool tls = reply->error() == QNetworkReply::SslHandshakeFailedError;
            const QString reason = m_cancelled           ? FailureReason::stopped()
                                   : reply->isFinished() ? FailureReason::ofReply(*reply)
                                                         : FailureReason::noAnswer();
            reply->abort();
            m_context.host.statusText(3, stateText(11) + reply->errorString());
            outcome = fail(rowId, tls ? RowNote::CertificateNotTrusted : RowNote::None, reason);
        } else if (IsBusyStatus(
                       reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt())) {
            // The site asks to wait: the row does so, and no row of the site starts meanwhile.
            const QByteArray retryAfter = reply->rawHeader("Retry-After");
            reply->abort();
            outcome = MarkServerBusy(m_context.list, rowId, retryAfter, m_context.now(),
                                     QDateTime::currentDateTime());
        } else if (overCeiling(size / 1024.0 / 1024.0)) {
            reply->abort();
            m_context.list.update(rowId, [](DownloadRow &r) {
                r.state = DownloadState::Finished;
                r.note = RowNote::BigFileSkipped;
                RemovePartialFile(r.part);
                r.part = {};
            });
            outcome = TransferOutcome::Finished;
        } else {
            m_context.host.statusText(3, stateText(8));
            file = openTarget(rowId, derivedType(*reply), &outcome);
        }
        if (file && !file->takeAnswer(*reply)) {
            reply->abort();
            outcome = fail(rowId, RowNote::DownloadFailed, file->errorString());
            file->discard();
            file.reset();
            m_context.list.update(rowId, [](DownloadRow &r) { r.part = {}; });
        }
        if (file) {
            size = file->wholeSize(*reply);
            const PartialFile part = file->partial(); // listed with the row from now on
            m_context.list.update(rowId, [&](DownloadRow &r) { r.part = part; });
        }
        if (file) {
            QCoro::Task<Received> body = receive(rowId, reply.get(), file.get(), size);
            const Received received = co_await body;
            if (!self) {
                co_return TransferOutcome::Failed;
            }
            outcome = place(rowId, *file, received, size);
        }
        if (!reply->isFinished()) {
            reply->abort();
        }
        m_context.host.statusText(3, stateText(reply->error() == QNetworkReply::NoError ? 12 : 10));
    }
    if (const DownloadRow *done = m_context.list.find(rowId)) {
        m_context.host.statusText(2, tr("Downloaded") + done->text);
    }
    co_return outcome;
}

QNetworkAccessManager *SingleRequestEngine::network(QString *error)
{
    const DownloadOptions &o = m_context.options;
    if (!o.proxyOn) {
        return &m_context.network;
    }
    bool ok = false;
    const uint port = o.proxyPort.trimmed().toUInt(&ok);
    if (!ok || port == 0 || port > 65535 || o.proxyHost.trimmed().isEmpty()) {
        *error = FailureReason::badProxy();
        return nullptr;
    }
    if (!m_proxyNetwork) {
        // A manager of its own for the proxy, sharing the session's cookies.
        m_proxyNetwork = std::make_unique<QNetworkAccessManager>();
        m_proxyNetwork->setCookieJar(m_context.network.cookies());
        m_context.network.cookies()->setParent(&m_context.network);
    }
    m_proxyNetwork->setProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, o.proxyHost.trimmed(), quint16(port)));
    return m_proxyNetwork.get();
}

std::unique_ptr<QNetworkReply> SingleRequestEngine::request(quint64 rowId)
{
    const DownloadRow *row = m_context.list.find(rowId);
    const QString address = GetItemUrlFromKey(row->key);
    const QString referer = row->tag.isEmpty() ? GetUrlRoot(address) : row->tag;
    QString error;
    QNetworkAccessManager *manager = network(&error);
    if (!manager) {
        fail(rowId, RowNote::BadProxySetting, error);
        return nullptr;
    }
    if (!IsFetchableAddress(QUrl(address))) {
        fail(rowId, RowNote::DownloadFailed, FailureReason::unsupported());
        return nullptr;
    }
    m_context.host.statusText(3, stateText(5));
    QNetworkRequest asked = DocumentRequest(QUrl(address), referer);
    if (const qint64 have = ResumableFrom(row->part, address, row->savePath); have > 0) {
        AskForRest(asked, have, row->part.validator);
    }
    std::unique_ptr<QNetworkReply> reply(manager->get(asked));
    reply->setParent(nullptr);
    // Bounded, and drained to disk as it fills: memory stays flat whatever the size.
    reply->setReadBufferSize(1024 * 1024);
    connect(reply.get(), &QNetworkReply::metaDataChanged, this, &SingleRequestEngine::wake);
    connect(reply.get(), &QNetworkReply::readyRead, this, &SingleRequestEngine::wake);
    connect(reply.get(), &QNetworkReply::finished, this, &SingleRequestEngine::wake);
    connect(reply.get(), &QNetworkReply::redirected, this, &SingleRequestEngine::wake);
    return reply;
}

QCoro::Task<bool> SingleRequestEngine::waitForHeaders(QNetworkReply *reply)
{
    QPointer<SingleRequestEngine> self(this);
    // A redirect that is being followed is not the answer yet: its size and type are not the
    // document's (seen as "2100%" when a redirect's headers came before the document's).
    const auto answered = [reply] {
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (!status.isValid()) {
            return false;
        }
        const int code = status.toInt();
        const bool redirect = code >= 300 && code < 400 && reply->hasRawHeader("Location");
        return !redirect || reply->isFinished();
    };
    const double deadline = m_context.now() + m_context.limits.response.count() / 1000.0;
    while (!answered() && !reply->isFinished() && !m_cancelled && m_context.now() < deadline) {
        auto woken = waitForSignal(this, &SingleRequestEngine::wake, kRecheck);
        co_await woken;
        if (!self) {
            co_return false;
        }
    }
    co_return answered();
}

QString SingleRequestEngine::derivedType(const QNetworkReply &reply) const
{
    const QString contentType = QString::fromLatin1(reply.rawHeader("Content-Type")).trimmed();
    const QString mime = contentType.section(QLatin1Char(';'), 0, 0).trimmed();
    QString derived;
    ContentTypeToExtension(mime, &derived, m_context.build);
    if (!m_context.build.typeFromDisposition) {
        return derived;
    }
    // A build may look further: the whole type's word, the name the server suggests, and a
    // charset for a page.
    derived = ContentTypeToExtension(mime, nullptr, m_context.build);
    if (derived.isEmpty()) {
        const QString disposition = QString::fromUtf8(reply.rawHeader("Content-Disposition"));
        const qsizetype at =
            disposition.indexOf(QLatin1String("filename="), 0, Qt::CaseInsensitive);
        if (at >= 0) {
            const QString name = disposition.mid(at + 9).remove(QLatin1Char('"')).trimmed();
            derived = LeadingLetterWord(name.mid(name.lastIndexOf(QLatin1Char('.')) + 1));
        }
    }
    if (derived.isEmpty() && contentType.contains(QLatin1String("charset"), Qt::CaseInsensitive)) {
        derived = QStringLiteral("htm");
    }
    return derived;
}

bool SingleRequestEngine::overCeiling(double megabytes) const
{
    const double ceiling = m_context.options.sizeCeilingMegabytes;
    return m_context.build.fileSizeCeiling && ceiling > 0 && megabytes > ceiling;
}

std::unique_ptr<TransferFile> SingleRequestEngine::openTarget(quint64 rowId, const QString &type,
                                                              TransferOutcome *outcome)
{
    QString folder = CreateFolderPath(m_context.list.find(rowId)->savePath, m_context.build);
    if (folder.isEmpty()) {
        m_context.list.update(rowId, [](DownloadRow &r) {
            RemovePartialFile(r.part);
            r.part = {};
        });
        *outcome = fail(rowId, RowNote::DownloadFailed, FailureReason::notAFolder());
        return nullptr;
    }
    if (!IsPathSeparator(folder.back())) {
        folder += QDir::separator();
    }
    m_context.list.update(rowId, [&](DownloadRow &r) {
        r.savePath = folder;
        if (!type.isEmpty()) {
            r.type = type;
        }
    });
    std::unique_ptr<TransferFile> file;
    switch (OpenRowFile(m_context.list, rowId, folder, m_context.options.duplicateMode, file)) {
    case TransferFile::Result::Skipped:
        m_context.list.markSkipped(rowId, QFileInfo(file->target()).size());
        *outcome = TransferOutcome::Skipped;
        return nullptr;
    case TransferFile::Result::Failed:
        *outcome = fail(rowId, RowNote::DownloadFailed, file->errorString());
        return nullptr;
    case TransferFile::Result::Done:
        break;
    }
    return file;
}

QCoro::Task<SingleRequestEngine::Received>
SingleRequestEngine::receive(quint64 rowId, QNetworkReply *reply, TransferFile *file, qint64 size)
{
    QPointer<SingleRequestEngine> self(this);
    const bool announced = size > 0;
    m_context.list.update(rowId, [&](DownloadRow &r) {
        r.fileSize = announced ? size : -1;
        r.sizeUnknown = !announced;
        r.downloaded = file->written(); // a continued part counts from where it stood
        if (announced) {
            r.percentage = int(file->written() * 100 / size);
        }
    });
    double lastProgress = m_context.now();
    const double stall = m_context.limits.stall.count() / 1000.0;
    QUrl at = reply->url();
    while (true) {
        const qint64 before = file->written();
        if (!file->drain(reply)) {
            co_return Received{Received::End::Failed, file->errorString()};
        }
        if (reply->url() != at) { // a redirect followed is progress too
            at = reply->url();
            lastProgress = m_context.now();
        }
        if (file->written() > before) {
            lastProgress = m_context.now();
            const qint64 done = file->written();
            m_context.list.update(rowId, [&](DownloadRow &r) {
                r.downloaded = done;
                if (announced) {
                    r.percentage = int(done * 100 / size);
                }
            });
        }
        if (!announced && overCeiling(file->written() / 1024.0 / 1024.0)) {
            co_return Received{Received::End::Ceiling, {}}; // the part received is kept
        }
        if (reply->isFinished() && reply->bytesAvailable() == 0) {
            Received judged = judge(*reply, *file, size);
            if (judged.end == Received::End::Whole && m_context.options.checkPdfEnd &&
                !file->pdfIsWhole()) {
                judged = Received{Received::End::Failed, FailureReason::incompletePdf()};
            }
            if (judged.end == Received::End::Whole && !file->bringsTheDocument()) {
                judged = Received{Received::End::Failed, FailureReason::pageInsteadOfDocument()};
            }
            QCoro::Task<Received> checked = checkDocument(rowId, file, judged);
            co_return co_await checked;
        }
        if (m_context.now() - lastProgress > stall) {
            co_return Received{Received::End::Failed, FailureReason::stalled(), true};
        }
        if (m_cancelled) {
            co_return Received{Received::End::Cancelled, FailureReason::stopped(), true};
        }
        if (reply->bytesAvailable() == 0) {
            auto woken = waitForSignal(this, &SingleRequestEngine::wake, kRecheck);
            co_await woken;
            if (!self) {
                co_return Received{Received::End::Cancelled, FailureReason::stopped(), true};
            }
        }
    }
}

QCoro::Task<SingleRequestEngine::Received>
SingleRequestEngine::checkDocument(quint64 rowId, TransferFile *file, Received received)
{
    const QString pdf = received.end == Received::End::Whole && m_context.options.checkDocuments
                            ? file->pdfToCheck()
                            : QString();
    if (pdf.isEmpty()) {
        co_return received;
    }
    QPointer<SingleRequestEngine> self(this);
    // Opening the document takes a while: never on the window's thread.
    const DownloadRow *row = m_context.list.find(rowId);
    QFuture<DocumentCheck> opened =
        CheckPdfDocumentLater(pdf, row ? ExpectedTitle(*row) : QString());
    received.document = co_await opened;
    if (!self || m_cancelled) {
        co_return Received{Received::End::Cancelled, FailureReason::stopped()};
    }
    if (received.document->opens == DocumentCheck::Opens::Damaged) {
        co_return Received{Received::End::Failed,
                           FailureReason::damagedPdf(received.document->problem)};
    }
    co_return received;
}

SingleRequestEngine::Received
SingleRequestEngine::judge(const QNetworkReply &reply, const TransferFile &file, qint64 size) const
{
    const QString failure =
        FailureReason::ofTransfer(reply, file.written(), size, m_context.options.retries > 0);
    if (failure.isEmpty()) {
        return {};
    }
    // Nothing came and nothing was announced: shown as a whole of nothing, and failed.
    const bool empty = failure == FailureReason::emptyAnswer();
    return {empty ? Received::End::Empty : Received::End::Failed, failure,
            CutOff(reply, file.written(), size)};
}

TransferOutcome SingleRequestEngine::place(quint64 rowId, TransferFile &file,
                                           const Received &received, qint64 size)
{
    using End = Received::End;
    if (received.end == End::Failed || received.end == End::Cancelled) {
        // A transfer the network or a stop cut off keeps its part when it can be continued.
        const PartialFile kept = received.cutOff ? file.keep() : PartialFile{};
        file.discard();
        if (!m_context.list.update(rowId, [&](DownloadRow &r) { r.part = kept; })) {
            RemovePartialFile(kept);
        }
        return fail(rowId,
                    received.end == End::Cancelled ? RowNote::DownloadCancel
                                                   : RowNote::DownloadFailed,
                    received.reason);
    }
    if (received.end == End::Empty) {
        file.discard();
        m_context.list.update(rowId, [](DownloadRow &r) {
            r.part = {};
            r.fileSize = 0;
            r.sizeUnknown = false;
            r.downloaded = 0;
            r.percentage = 100;
        });
        return fail(rowId, RowNote::None, received.reason);
    }
    const TransferFile::Result placed = file.commit();
    const QString name = file.name();
    const qint64 total = file.written();
    m_context.list.update(rowId, [](DownloadRow &r) { r.part = {}; }); // in place or dropped
    if (placed == TransferFile::Result::Failed) {
        const QString reason = file.errorString();
        file.discard();
        const qint64 existing = QFileInfo(file.target()).size();
        m_context.list.update(rowId, [&](DownloadRow &r) {
            r.state = DownloadState::Failed;
            r.fileSize = existing;
            r.downloaded = existing;
            r.note = RowNote::CannotReplace;
            r.reason = reason;
        });
        return TransferOutcome::Failed;
    }
    m_context.list.update(rowId, [&](DownloadRow &r) { r.text = name; });
    if (placed == TransferFile::Result::Skipped) {
        m_context.list.markSkipped(rowId, QFileInfo(file.target()).size());
        return TransferOutcome::Skipped;
    }
    m_context.list.update(rowId, [&](DownloadRow &r) {
        r.state = DownloadState::Finished;
        if (received.document) {
            NoteDocumentCheck(r, *received.document);
        }
        if (received.end == End::Ceiling) {
            r.downloaded = total;
            r.note = RowNote::BigFileSkipped;
        } else if (size <= 0) {
            r.fileSize = total;
            r.sizeUnknown = false;
            r.downloaded = total;
            r.percentage = 100;
        }
    });
    if (received.end != End::Ceiling) {
        CorrectItemFileType(m_context.list, rowId);
        AddBaseHrefToSavedPage(m_context.list, rowId, m_context.build);
    }
    return TransferOutcome::Finished;
}

TransferOutcome SingleRequestEngine::fail(quint64 rowId, RowNote note, const QString &reason)
{
    m_context.list.update(rowId, [&](DownloadRow &r) {
        r.state = DownloadState::Failed;
        r.reason = reason;
        if (note != RowNote::None) {
            r.note = note;
        }
    });
    return TransferOutcome::Failed;
}

} // namespace harvly
