#pragma once

#include "documentcheck.h"
#include "downloadoptions.h"
#include "resume.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace harvly {

class TransferFile;

// One slot of the parallel way: fetches one address into its save file in the background
// and tells how it goes through its three signals.
class Downloader final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Downloader)

public:
    Downloader(QNetworkAccessManager &network, EngineLimits limits, QObject *parent = nullptr);
    ~Downloader() override;

    // Fetches the address into the file, which has been opened (its name reserved).
    void BeginDownload(const QString &address, std::unique_ptr<TransferFile> file,
                       const QString &referer);
    void CancelAsyncRead();
    // A PDF without its end marker fails (on unless told otherwise).
    bool checkPdfEnd = true;
    bool checkDocuments = true;
    QString documentTitle; // what the document check looks for
    // What the document check found; empty when no check ran.
    const std::optional<DocumentCheck> &documentCheck() const { return m_check; }
    bool failServerErrors = false; // a 5xx answer fails rather than being saved as a page
    // The file being written; after DownloadComplete its target and name are final.
    const TransferFile *file() const { return m_file.get(); }
    // Why the download failed, once DownloadError came.
    QString failureReason() const { return m_reason; }
    // What a transfer cut off (or cancelled, or sent away busy) left to be continued.
    PartialFile kept() const { return m_kept; }

signals:
    void DownloadProgress(qint64 bytesRead, qint64 bytesExpected, const QString &saveFile);
    void DownloadError(const QString &saveFile);
    void DownloadComplete(qint64 size, const QString &saveFile);
    // "Skip" is chosen and a file took the name while the download ran; nothing was written.
    void DownloadSkipped(const QString &saveFile);
    // The site answered 429 or 503; nothing was written. retryAfter: its Retry-After header.
    void DownloadBusy(const QByteArray &retryAfter);
    // The document's answer came: file() tells now whether it can be continued.
    void DownloadAnswered();

private:
    void answered();
    void readMore();
    void finished();
    // The transfer has arrived whole and passed the content checks: into place.
    void place(qint64 size);
    void fail(const QString &reason, bool cutOff = false);
    void busy();

    QPointer<QNetworkAccessManager> m_network;
    EngineLimits m_limits;
    QString m_saveFile;
    std::unique_ptr<QNetworkReply> m_reply;
    std::unique_ptr<TransferFile> m_file;
    qint64 m_expected = 0;
    QTimer m_stall;
    bool m_done = false;
    bool m_answered = false;
    QString m_reason;
    PartialFile m_kept;
    std::optional<DocumentCheck> m_check;
};

} // namespace harvly
