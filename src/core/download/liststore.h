#pragma once

#include "common/duplicatemode.h"
#include "downloadlist.h"

#include <QFile>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>
#include <future>
#include <optional>
#include <vector>

namespace harvly {

// The download list kept on disk between runs: every row with its state, figures, key, tag,
// folder and note, and the same-name mode. Written whole to a temporary file that then takes
// the store's name, so a crash leaves the old store or the new one, never half of one.
struct StoredList {
    QList<DownloadRow> rows;
    DuplicateMode mode = DuplicateMode::Rename;
};

constexpr int kListStoreVersion = 1;

bool SaveDownloadList(const DownloadListModel &list, DuplicateMode mode, const QString &file,
                      QString *error = nullptr);
bool SaveDownloadRows(const std::vector<DownloadRow> &rows, DuplicateMode mode, const QString &file,
                      QString *error = nullptr);

enum class StoreRead { Ok, Missing, Damaged, FutureVersion };
// Rows that were Downloading come back Waiting.
StoreRead LoadDownloadList(const QString &file, StoredList *out, QString *error = nullptr);

// Puts a store that cannot be read aside (renamed, never deleted); the new name, or "".
QString SetStoreAside(const QString &file);

// Adds the stored rows whose key the list does not hold yet; the number added.
int RestoreRows(DownloadListModel &list, const StoredList &stored);

// Keeps the store up to date while the list changes: at most once a second, at once when a
// row ends or a transfer's part becomes one to continue, and at flush(). When a new list
// replaces a store that was not restored, the parts its rows kept are removed with it.
// The rows are copied at once and written by a worker thread, one write at a time, so a
// long list never holds up the window; flush() and the end wait for the write. A file about
// to take its name is noted at once in a small journal beside the store (read back with the
// store, emptied once a write covers it), so a crash just after the rename loses nothing.
// It stays quiet until the list has rows (or until told the list is the store's), so a run
// that declined to restore keeps the old store until a new list replaces it.
class ListStoreWriter final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListStoreWriter)

public:
    ListStoreWriter(DownloadListModel &list, QString file, std::function<DuplicateMode()> mode,
                    QObject *parent = nullptr);
    ~ListStoreWriter() override;

    // The list now stands for the store (restored): every change is written, emptying too.
    void adopt();
    // Writes now when something changed since the last write.
    void flush();
    QString file() const { return m_file; }
    QString lastError() const { return m_error; }

private:
    void changed();
    void writeSoon();
    void written(int number);
    // The first write replaces a store that was not restored (its parts go with it): then the
    // parts its rows list, which the write must not take.
    std::optional<QSet<QString>> partsIfReplacing();
    void mirrorAll();
    void mirrorInserted(int first, int last);
    void mirrorRemoved(int first, int last);
    void mirrorChanged(int first, int last);
    void waitForWrite();
    void journal(const QString &key, const QString &part, const QString &target);
    void journalCovered(int lines);

    DownloadListModel &m_list;
    QString m_file;
    std::function<DuplicateMode()> m_mode;
    QTimer m_timer;
    QHash<quint64, DownloadState> m_states; // as last seen, to tell when a row ends
    QHash<quint64, QString> m_parts;        // parts to continue, as last seen
    bool m_dirty = false;
    bool m_active = false;
    bool m_adopted = false;
    bool m_written = false;
    std::future<QString> m_write; // the write under way: its error, "" when it went well
    int m_writeNumber = 0;
    bool m_again = false; // asked to write while a write was under way
    QFile m_journal;
    int m_journalLines = 0;    // lines noted since the journal was last emptied
    int m_journalCovered = 0;  // of them, those the write under way covers
    QList<QByteArray> m_lines; // each row as the store writes it, kept as the list changes
    QString m_error;
};

} // namespace harvly
