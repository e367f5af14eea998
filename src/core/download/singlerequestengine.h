#pragma once

#include "documentcheck.h"
#include "downloadengine.h"
#include "downloadlist.h"

#include <QCoro/QCoroTask>
#include <QString>

#include <memory>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace harvly {

class TransferFile;

// The first way: one row at a time, start to end, through one request whose answer is read
// as it arrives. It decides the type from the answer's headers, names the file, writes it
// and leaves the row Finished or Failed with its texts.
class SingleRequestEngine final : public DownloadEngine
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SingleRequestEngine)

public:
    explicit SingleRequestEngine(EngineContext context, QObject *parent = nullptr);
    ~SingleRequestEngine() override;

    int capacity() const override { return 1; }
    int running() const override { return m_rowId != 0 ? 1 : 0; }
    void start(quint64 rowId) override;
    void cancel(quint64 rowId, const QString &reason) override;
    void cancelAll(const QString &reason) override;
    bool waitsForLogin() const override { return true; }

    // One row, start to end.
    QCoro::Task<TransferOutcome> InetDownloadFile(quint64 rowId);

signals:
    // New data, the end of the answer, or a stop: whatever a waiting transfer must look at.
    void wake();

private:
    // How the body's reading ended.
    struct Received {
        enum class End { Whole, Failed, Cancelled, Ceiling, Empty } end = End::Whole;
        QString reason;
        bool cutOff = false; // by the network or a stop: the part may be continued
        std::optional<DocumentCheck> document = std::nullopt; // what opening a whole PDF found
    };

    QCoro::Task<> run(quint64 rowId);
    std::unique_ptr<QNetworkReply> request(quint64 rowId);
    QCoro::Task<bool> waitForHeaders(QNetworkReply *reply);
    QString derivedType(const QNetworkReply &reply) const;
    bool overCeiling(double megabytes) const;
    std::unique_ptr<TransferFile> openTarget(quint64 rowId, const QString &type,
                                             TransferOutcome *outcome);
    QCoro::Task<Received> receive(quint64 rowId, QNetworkReply *reply, TransferFile *file,
                                  qint64 size);
    Received judge(const QNetworkReply &reply, const TransferFile &file, qint64 size) const;
    // A whole PDF opened off the window's thread: damaged, it fails the transfer.
    QCoro::Task<Received> checkDocument(quint64 rowId, TransferFile *file, Received received);
    TransferOutcome place(quint64 rowId, TransferFile &file, const Received &received, qint64 size);
    TransferOutcome fail(quint64 rowId, RowNote note, const QString &reason);
    QNetworkAccessManager *network(QString *error);

    EngineContext m_context;
    quint64 m_rowId = 0;
    bool m_cancelled = false;
    std::unique_ptr<QNetworkAccessManager> m_proxyNetwork;
};

} // namespace harvly
