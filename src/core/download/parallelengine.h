#pragma once

#include "downloadengine.h"

#include <array>
#include <memory>

namespace harvly {

struct PartialFile;

class Downloader;

// The second way: up to six rows at once, each in a slot of its own that fetches in the
// background and reports through its signals.
class ParallelEngine final : public DownloadEngine
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ParallelEngine)

public:
    explicit ParallelEngine(EngineContext context, QObject *parent = nullptr);
    ~ParallelEngine() override;

    int capacity() const override;
    int running() const override;
    void start(quint64 rowId) override;
    void cancel(quint64 rowId, const QString &reason) override;
    void cancelAll(const QString &reason) override;
    bool waitsForLogin() const override { return false; }
    // The abandon rule: a slot that has not learnt its file's size in twenty minutes.
    void tick() override;

private:
    struct Slot {
        std::unique_ptr<Downloader> downloader;
        quint64 rowId = 0;
        double startTime = 0;
    };
    int freeSlot() const;
    // Ends a slot's row: the slot is free again before the scheduler hears of it.
    void end(int slot, TransferOutcome outcome);
    void progress(int slot, qint64 read, qint64 expected);
    void failed(int slot);
    void failWith(int slot, const QString &reason);
    void complete(int slot);
    void skipped(int slot, const QString &existing);
    // Lists what the row's transfer left to be continued (or that nothing is left).
    void listPart(quint64 rowId, const PartialFile &part);

    EngineContext m_context;
    std::array<Slot, 6> m_slots;
};

} // namespace harvly
