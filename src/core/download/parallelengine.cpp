#include "parallelengine.h"

#include "busyanswer.h"
#include "common/filenames.h"
#include "common/files.h"
#include "common/urls.h"
#include "correction.h"
#include "documentcheck.h"
#include "downloader.h"
#include "downloadlist.h"
#include "failurereason.h"
#include "http/sessionnetwork.h"
#include "schedulerhost.h"
#include "transferfile.h"

#include <QCoro/QCoroTask>
#include <QDir>
#include <QFileInfo>

namespace harvly {

ParallelEngine::ParallelEngine(EngineContext context, QObject *parent)
    : DownloadEngine(parent), m_context(std::move(context))
{
}

ParallelEngine::~ParallelEngine() = default;

int ParallelEngine::capacity() const
{
    return qBound(1, m_context.options.threads, int(m_slots.size()));
}

int ParallelEngine::running() const
{
    return int(std::count_if(m_slots.begin(), m_slots.end(),
                             [](const Slot &s) { return s.downloader != nullptr; }));
}

int ParallelEngine::freeSlot() const
{
    for (int k = 0; k < capacity(); ++k) {
        if (!m_slots[size_t(k)].downloader) {
            return k;
        }
    }
    return -1;
}

void ParallelEngine::start(quint64 rowId)
{
    const int k = freeSlot();
    const DownloadRow *row = m_context.list.find(rowId);
    if (k < 0 || !row) {
        return;
    }
    Slot &slot = m_slots[size_t(k)];
    slot.rowId = rowId;
    slot.startTime = m_context.now();
    slot.downloader = std::make_unique<Downloader>(m_context.network, m_context.limits);
    Downloader *d = slot.downloader.get();
    d->checkPdfEnd = m_context.options.checkPdfEnd;
    d->checkDocuments = m_context.options.checkDocuments;
    d->documentTitle = ExpectedTitle(*row);
    d->failServerErrors = m_context.options.retries > 0; // a server error is tried again
    connect(d, &Downloader::DownloadProgress, this,
            [this, k](qint64 read, qint64 expected) { progress(k, read, expected); });
    connect(d, &Downloader::DownloadError, this, [this, k] { failed(k); });
    connect(d, &Downloader::DownloadComplete, this, [this, k] { complete(k); });
    connect(d, &Downloader::DownloadSkipped, this,
            [this, k](const QString &existing) { skipped(k, existing); });
    connect(d, &Downloader::DownloadBusy, this, [this, k, d](const QByteArray &retryAfter) {
        const quint64 id = m_slots[size_t(k)].rowId;
        listPart(id, d->kept());
        end(k, MarkServerBusy(m_context.list, id, retryAfter, m_context.now(),
                              QDateTime::currentDateTime()));
    });
    connect(d, &Downloader::DownloadAnswered, this,
            [this, k, d] { listPart(m_slots[size_t(k)].rowId, d->file()->partial()); });

    // A folder that cannot be made fails the row; it never falls back to the root.
    QString folder = CreateFolderPath(row->savePath, m_context.build);
    if (folder.isEmpty()) {
        RemovePartialFile(row->part);
        listPart(rowId, {});
        failWith(k, FailureReason::notAFolder());
        return;
    }
    if (!IsPathSeparator(folder.back())) {
        folder += QDir::separator();
    }
    m_context.list.update(rowId, [&](DownloadRow &r) { r.savePath = folder; });
    // The name is reserved now, so the next row started in this tick picks another.
    std::unique_ptr<TransferFile> file;
    switch (OpenRowFile(m_context.list, rowId, folder, m_context.options.duplicateMode, file)) {
    case TransferFile::Result::Skipped:
        skipped(k, file->target());
        return;
    case TransferFile::Result::Failed:
        failWith(k, file->errorString());
        return;
    case TransferFile::Result::Done:
        break;
    }
    const QString address = GetItemUrlFromKey(m_context.list.find(rowId)->key);
    const QString referer = m_context.list.find(rowId)->tag;
    if (m_context.options.openRefererFirst && !referer.isEmpty()) {
        auto held = std::make_shared<std::unique_ptr<TransferFile>>(std::move(file));
        QCoro::connect(m_context.host.openReferer(referer), d, [d, address, held, referer] {
            d->BeginDownload(address, std::move(*held), referer);
        });
    } else {
        d->BeginDownload(address, std::move(file), referer);
    }
}

void ParallelEngine::progress(int k, qint64 read, qint64 expected)
{
    if (expected <= 0 || expected < read) {
        return;
    }
    m_context.list.update(m_slots[size_t(k)].rowId, [&](DownloadRow &r) {
        r.fileSize = expected;
        r.downloaded = read;
        r.percentage = int(read * 100 / expected);
    });
}

void ParallelEngine::end(int k, TransferOutcome outcome)
{
    Slot &slot = m_slots[size_t(k)];
    const quint64 id = slot.rowId;
    if (slot.downloader) {
        slot.downloader.release()->deleteLater(); // it may still be emitting
    }
    slot.rowId = 0;
    if (const DownloadRow *row = m_context.list.find(id)) {
        m_context.host.statusText(2, tr("Downloaded:") + row->text);
    }
    emit ended(id, outcome);
}

void ParallelEngine::failed(int k)
{
    const Downloader &d = *m_slots[size_t(k)].downloader;
    listPart(m_slots[size_t(k)].rowId, d.kept());
    failWith(k, d.failureReason());
}

void ParallelEngine::listPart(quint64 rowId, const PartialFile &part)
{
    if (!m_context.list.update(rowId, [&](DownloadRow &r) { r.part = part; })) {
        RemovePartialFile(part); // the row is gone: nothing would ever continue it
    }
}

void ParallelEngine::failWith(int k, const QString &reason)
{
    m_context.list.update(m_slots[size_t(k)].rowId, [&](DownloadRow &r) {
        r.state = DownloadState::Failed;
        r.reason = reason;
    });
    end(k, TransferOutcome::Failed);
}

void ParallelEngine::complete(int k)
{
    const quint64 id = m_slots[size_t(k)].rowId;
    const Downloader &d = *m_slots[size_t(k)].downloader;
    const QString name = d.file()->name(); // final after a clash
    bool whole = false;
    m_context.list.update(id, [&](DownloadRow &r) {
        r.text = name;
        r.part = {};
        whole = r.complete();
        r.state = whole ? DownloadState::Finished : DownloadState::Failed;
        if (whole && d.documentCheck()) {
            NoteDocumentCheck(r, *d.documentCheck());
        }
    });
    CorrectItemFileType(m_context.list, id);
    AddBaseHrefToSavedPage(m_context.list, id, m_context.build);
    end(k, whole ? TransferOutcome::Finished : TransferOutcome::Failed);
}

void ParallelEngine::skipped(int k, const QString &existing)
{
    listPart(m_slots[size_t(k)].rowId, {});
    m_context.list.markSkipped(m_slots[size_t(k)].rowId, QFileInfo(existing).size());
    end(k, TransferOutcome::Skipped);
}

void ParallelEngine::cancel(quint64 rowId, const QString &reason)
{
    for (Slot &slot : m_slots) {
        if (slot.downloader && slot.rowId == rowId) {
            slot.downloader->CancelAsyncRead(); // keeps a part that can be continued
            const PartialFile kept = slot.downloader->kept();
            slot.downloader.reset();
            listPart(rowId, kept);
            m_context.list.update(rowId, [&](DownloadRow &r) {
                r.state = DownloadState::Failed;
                r.reason = reason;
            });
            slot.rowId = 0; // a stopped row has no end step: no sound, no login
        }
    }
}

void ParallelEngine::cancelAll(const QString &reason)
{
    for (const Slot &slot : m_slots) {
        if (slot.downloader) {
            cancel(slot.rowId, reason);
        }
    }
}

void ParallelEngine::tick()
{
    const double abandonAfter = double(m_context.limits.abandon.count());
    for (const Slot &slot : m_slots) {
        if (!slot.downloader || m_context.now() - slot.startTime < abandonAfter) {
            continue;
        }
        const DownloadRow *row = m_context.list.find(slot.rowId);
        if (!row || row->fileSize < 0) {
            cancel(slot.rowId, FailureReason::abandoned());
        }
    }
}

} // namespace harvly
