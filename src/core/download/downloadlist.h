#pragma once

#include "common/citationrecord.h"
#include "resume.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace harvly {

enum class DownloadState { Waiting = 1, Downloading = 2, Finished = 3, Failed = 4 };

// Page types ("htm", "html") and page-or-xml types, by the row's Type in any letter case.
bool IsPageType(const QString &type);
bool IsPageOrXmlType(const QString &type);
// The type of a row whose next download decides its type by what arrives; the list shows
// and keeps it as "xxx".
QString UndecidedType();

// A key of alternatives (the Chinese build's "a|b|c") as its addresses, first the one to
// fetch, and back.
QStringList AlternativeAddresses(const QString &key);
QString KeyOfAlternatives(const QStringList &addresses);

// A text a row shows in place of a number, after what happened to it. The first group
// shows in the FileSize column, the second in the percentage column.
enum class RowNote {
    None,
    WaitReDownload, // sent back while the engine was busy
    DownloadFailed,
    DownloadCancel,
    CertificateNotTrusted,
    BadProxySetting,
    AlreadyExists,  // "Skip" met an existing file
    BigFileSkipped, // over the size ceiling
    CannotReplace,  // the old file could not be replaced
    ServerBusy,     // the site asked to wait; the row's reason says until when
    Retrying,       // cut off or refused: tried again; the row's reason says why and when
    // What the document check found in a Finished PDF (the percentage column shows it).
    NeedsPassword, // it opens only with a password
    TitleNotFound, // its first pages do not carry the row's title
    NoTextToCheck, // its pages have no text layer (a scan)
};

// One download job.
struct DownloadRow {
    quint64 id = 0; // stable while the row lives; flows find their row by it
    QString key;    // the address (in the Chinese build up to three, see AlternativeAddresses)
    QString text;   // base name of the target file
    QString tag;    // referer
    DownloadState state = DownloadState::Waiting;
    QString type;
    qint64 fileSize = -1;     // bytes; -1 while unknown
    bool sizeUnknown = false; // the answer announced no size (shown as such until the end)
    bool fileMissing = false; // a check found no file: Downloaded reads "not exist"
    qint64 downloaded = -1;   // bytes written; -1 before any
    std::optional<int> percentage;
    RowNote note = RowNote::None;
    QString savePath;
    bool queuedAsPage = false; // handed over as a web page: the B column shows "Y"
    QString reason;            // why the row failed; empty unless it did
    int busyAnswers = 0;       // "busy" answers of the site for this row so far
    int retries = 0;           // attempts made again after a transient failure
    double retryAt = 0;        // on the scheduler's clock: not started before
    PartialFile part;          // what an interrupted transfer left, continued by the next attempt
    // The row's file from an earlier download, left in place while the row is fetched again:
    // the new file replaces it only once it has arrived whole and passed the content check.
    QString earlier;
    SharedRecord record; // what the document page said of the work; null when unknown
    int pages = 0;       // the PDF's page count, once the document check has opened it

    // The file the row stands for: folder, name, and "." + type when there is a type.
    QString localFile() const;
    bool neverAttempted() const
    {
        return fileSize < 0 && downloaded < 0 && !percentage && note == RowNote::None &&
               !sizeUnknown;
    }
    bool complete() const { return percentage == 100; }
    // Forgets the figures and the note of an earlier attempt.
    void clearProgress();
    // The texts of the three figure columns, as the list shows them.
    QString fileSizeText() const;
    QString downloadedText() const;
    QString percentageText() const;
};

// The text of a note in the running build's language.
QString RowNoteText(RowNote note);
// The notes of the document check on a Finished row.
bool IsDocumentNote(RowNote note);

// The download window's list: the download manager's only job store. Rows are found by id
// or key and changed through this model only, never edited in place by the user.
class DownloadListModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadListModel)

public:
    enum Column { Title, Type, FileSize, Downloaded, Percentage, SavePath, B, ColumnCount };
    // The raw value of a cell for sorting: numbers for the figure columns, else the text.
    static constexpr int SortRole = Qt::UserRole + 1;

    explicit DownloadListModel(QObject *parent = nullptr);

    // Adds a Waiting row unless the key is already there; its id, or nullopt.
    std::optional<quint64> add(const QString &key, const QString &text, const QString &type,
                               const QString &savePath, const QString &tag);

    int size() const { return int(m_rows.size()); }
    const DownloadRow &at(int row) const { return m_rows.at(size_t(row)); }
    const std::vector<DownloadRow> &rows() const { return m_rows; }
    int rowOf(quint64 id) const; // -1 when gone
    const DownloadRow *find(quint64 id) const;
    bool containsKey(const QString &key) const { return m_byKey.contains(key); }

    // Changes a row by id; false when the row is gone (a removed row is never written).
    bool update(quint64 id, const std::function<void(DownloadRow &)> &change);
    // Removing rows removes what their interrupted transfers left too.
    void removeIds(const QList<quint64> &ids);
    QList<quint64> ids() const;
    // Puts the rows in this order; ids must be the list's own, each once.
    void setOrder(const QList<quint64> &ids);
    // "Skip" met a file of the row's name: the row is done, showing that file's size.
    void markSkipped(quint64 id, qint64 existingSize);
    void clear();
    // A list that is not kept anywhere ends by removing what its transfers left: nothing
    // would ever continue it.
    void dropPartialFiles();

    int countState(DownloadState s) const;
    int StatisticsNotDownloadItemNumbers() const;
    bool IsCompletedOfDownloadListView() const;
    int CountErrorItems() const;
    // Status bar panel 4: "Sum:..|Downloading：..|Waitting:..|Completed:..|Err:..", and
    // "|Unconfirmed:.." when finished documents did not show their titles.
    QString ListCountsText() const;

    // The pictures of the four states, in state order; given by the window.
    void setStateIcons(const std::array<QVariant, 4> &icons) { m_icons = icons; }
    static int columnWidthTwips(int column);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Reorders the rows once by a column: sizes, downloaded bytes and percentages by their
    // numbers (a text such as "download failed" after the numbers, by its text), other
    // columns by their text. Rows added later are not kept in order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // A transfer is about to give its file (now part) the name target. Told before the file
    // is renamed, so that a crash between the rename and the next write of the kept list
    // cannot send the row to be fetched again.
    void notePlacing(quint64 id, const QString &part, const QString &target);

signals:
    void placing(const QString &key, const QString &part, const QString &target);

private:
    void reindex();

    // The rows by state, and the unconfirmed ones: kept as rows change, so that the counts the
    // window shows every second cost nothing, however long the list.
    void tally(const DownloadRow &r, int sign);
    std::array<int, 5> m_byState{};
    int m_unconfirmed = 0;

    std::vector<DownloadRow> m_rows;
    QHash<QString, quint64> m_byKey;
    QHash<quint64, int> m_rowById;
    quint64 m_nextId = 1;
    std::array<QVariant, 4> m_icons;
};

} // namespace harvly
