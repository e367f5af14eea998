#include "downloadlist.h"

#include <QCoreApplication>
#include <QSet>

namespace harvly {

bool IsPageType(const QString &type)
{
    const QString t = type.toLower();
    return t == QLatin1String("htm") || t == QLatin1String("html");
}

bool IsPageOrXmlType(const QString &type)
{
    return IsPageType(type) || type.toLower() == QLatin1String("xml");
}

QString UndecidedType()
{
    return QStringLiteral("xxx");
}

QStringList AlternativeAddresses(const QString &key)
{
    return key.split(QLatin1Char('|'));
}

QString KeyOfAlternatives(const QStringList &addresses)
{
    return addresses.join(QLatin1Char('|'));
}

QString DownloadRow::localFile() const
{
    return type.isEmpty() ? savePath + text : savePath + text + QLatin1Char('.') + type;
}

void DownloadRow::clearProgress()
{
    fileSize = -1;
    sizeUnknown = false;
    fileMissing = false;
    downloaded = -1;
    percentage.reset();
    note = RowNote::None;
    reason.clear();
    pages = 0;
}

namespace {

bool showsInFileSize(RowNote note)
{
    return note != RowNote::None && note != RowNote::AlreadyExists &&
           note != RowNote::BigFileSkipped && note != RowNote::CannotReplace &&
           !IsDocumentNote(note);
}

QString number(qint64 n)
{
    return n < 0 ? QString() : QString::number(n);
}

} // namespace

QString RowNoteText(RowNote note)
{
    // In the order of RowNote.
    static const char *const texts[] = {
        "",
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "Wait re-download"),
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "download failed"),
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "Download Cancel"),
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "certificate not trusted"),
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "Bad proxy setting"),
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "Already exists, skip"),
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "Big file, skipped"),
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "Can not replace"),
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "Server busy"),
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "Retrying"),
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "needs a password"),
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "Title not found in the document"),
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "no text to check"),
    };
    static_assert(std::size(texts) == size_t(RowNote::NoTextToCheck) + 1);
    return note == RowNote::None
               ? QString()
               : QCoreApplication::translate("harvly::DownloadListModel", texts[size_t(note)]);
}

bool IsDocumentNote(RowNote note)
{
    return note == RowNote::NeedsPassword || note == RowNote::TitleNotFound ||
           note == RowNote::NoTextToCheck;
}

QString DownloadRow::fileSizeText() const
{
    if ((note == RowNote::ServerBusy || note == RowNote::Retrying) && !reason.isEmpty()) {
        return reason; // "Server busy, retry at 14:02:30"
    }
    if (showsInFileSize(note)) {
        return RowNoteText(note);
    }
    if (sizeUnknown) {
        return QCoreApplication::translate("harvly::DownloadListModel", "unknow");
    }
    return number(fileSize);
}

QString DownloadRow::downloadedText() const
{
    if (fileMissing) {
        return QCoreApplication::translate("harvly::DownloadListModel", "not exist");
    }
    return number(downloaded);
}

QString DownloadRow::percentageText() const
{
    if (note != RowNote::None && !showsInFileSize(note)) {
        return RowNoteText(note);
    }
    return percentage ? QString::number(*percentage) + QLatin1Char('%') : QString();
}

DownloadListModel::DownloadListModel(QObject *parent) : QAbstractTableModel(parent) {}

std::optional<quint64> DownloadListModel::add(const QString &key, const QString &text,
                                              const QString &type, const QString &savePath,
                                              const QString &tag)
{
    if (key.isEmpty() || m_byKey.contains(key)) {
        return std::nullopt;
    }
    DownloadRow r;
    r.id = m_nextId++;
    r.key = key;
    r.text = text;
    r.type = type;
    r.savePath = savePath;
    r.tag = tag;
    r.queuedAsPage = type == QLatin1String("htm");
    const int row = size();
    beginInsertRows({}, row, row);
    m_byKey.insert(key, r.id);
    m_rowById.insert(r.id, row);
    tally(r, 1);
    m_rows.push_back(std::move(r));
    endInsertRows();
    return m_rows.back().id;
}

int DownloadListModel::rowOf(quint64 id) const
{
    return m_rowById.value(id, -1);
}

const DownloadRow *DownloadListModel::find(quint64 id) const
{
    const int row = rowOf(id);
    return row < 0 ? nullptr : &m_rows.at(size_t(row));
}

bool DownloadListModel::update(quint64 id, const std::function<void(DownloadRow &)> &change)
{
    const int row = rowOf(id);
    if (row < 0) {
        return false;
    }
    DownloadRow &r = m_rows.at(size_t(row));
    const QString oldKey = r.key;
    tally(r, -1);
    change(r);
    r.id = id;
    tally(r, 1);
    if (r.key != oldKey) {
        // A batch of changes may give this row the address another row leaves later: that
        // row's entry now names this row and must not be taken away with the old address.
        if (m_byKey.value(oldKey) == id) {
            m_byKey.remove(oldKey);
        }
        m_byKey.insert(r.key, id);
    }
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    return true;
}

void DownloadListModel::tally(const DownloadRow &r, int sign)
{
    if (size_t(r.state) < m_byState.size()) {
        m_byState[size_t(r.state)] += sign;
    }
    m_unconfirmed += r.note == RowNote::TitleNotFound ? sign : 0;
}

void DownloadListModel::reindex()
{
    m_byKey.clear();
    m_rowById.clear();
    m_byState = {};
    m_unconfirmed = 0;
    for (const DownloadRow &r : m_rows) {
        tally(r, 1);
    }
    for (int i = 0; i < size(); ++i) {
        m_byKey.insert(m_rows[size_t(i)].key, m_rows[size_t(i)].id);
        m_rowById.insert(m_rows[size_t(i)].id, i);
    }
}

void DownloadListModel::removeIds(const QList<quint64> &ids)
{
    if (ids.isEmpty()) {
        return;
    }
    beginResetModel();
    const QSet<quint64> gone(ids.begin(), ids.end());
    std::erase_if(m_rows, [&gone](const DownloadRow &r) {
        if (!gone.contains(r.id)) {
            return false;
        }
        RemovePartialFile(r.part);
        return true;
    });
    reindex();
    endResetModel();
}

void DownloadListModel::sort(int column, Qt::SortOrder order)
{
    struct Key {
        bool isText;
        qint64 number;
        QString text;
    };
    const auto keyOf = [&](int row) {
        const QVariant v = data(index(row, column), SortRole);
        if (v.typeId() == QMetaType::QString) {
            return Key{true, 0, v.toString()};
        }
        return Key{false, v.toLongLong(), QString()};
    };
    std::vector<std::pair<Key, quint64>> keyed;
    keyed.reserve(m_rows.size());
    for (int i = 0; i < size(); ++i) {
        keyed.emplace_back(keyOf(i), at(i).id);
    }
    const auto less = [](const Key &a, const Key &b) {
        if (a.isText != b.isText) {
            return !a.isText; // numbers first
        }
        return a.isText ? QString::localeAwareCompare(a.text, b.text) < 0 : a.number < b.number;
    };
    std::stable_sort(keyed.begin(), keyed.end(), [&](const auto &a, const auto &b) {
        return order == Qt::AscendingOrder ? less(a.first, b.first) : less(b.first, a.first);
    });
    QList<quint64> ids;
    for (const auto &k : keyed) {
        ids << k.second;
    }
    setOrder(ids);
}

QList<quint64> DownloadListModel::ids() const
{
    QList<quint64> out;
    out.reserve(size());
    for (const DownloadRow &r : m_rows) {
        out << r.id;
    }
    return out;
}

void DownloadListModel::setOrder(const QList<quint64> &ids)
{
    if (ids.size() != size()) {
        return;
    }
    std::vector<DownloadRow> rows;
    rows.reserve(m_rows.size());
    for (const quint64 id : ids) {
        const int at = rowOf(id);
        if (at < 0) {
            return; // not a permutation of this list: nothing changes
        }
        rows.push_back(m_rows.at(size_t(at)));
    }
    beginResetModel();
    m_rows = std::move(rows);
    reindex();
    endResetModel();
}

void DownloadListModel::markSkipped(quint64 id, qint64 existingSize)
{
    update(id, [&](DownloadRow &r) {
        r.clearProgress();
        r.state = DownloadState::Finished;
        r.fileSize = existingSize;
        r.downloaded = existingSize;
        r.note = RowNote::AlreadyExists;
    });
}

void DownloadListModel::clear()
{
    beginResetModel();
    for (const DownloadRow &r : m_rows) {
        RemovePartialFile(r.part);
    }
    m_rows.clear();
    reindex();
    endResetModel();
}

void DownloadListModel::notePlacing(quint64 id, const QString &part, const QString &target)
{
    if (const DownloadRow *row = find(id)) {
        emit placing(row->key, part, target);
    }
}

void DownloadListModel::dropPartialFiles()
{
    for (DownloadRow &r : m_rows) {
        RemovePartialFile(r.part);
        r.part = {};
    }
}

int DownloadListModel::countState(DownloadState s) const
{
    return m_byState[size_t(s)];
}

int DownloadListModel::StatisticsNotDownloadItemNumbers() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(),
                             [](const DownloadRow &r) { return r.neverAttempted(); }));
}

bool DownloadListModel::IsCompletedOfDownloadListView() const
{
    return countState(DownloadState::Finished) + countState(DownloadState::Failed) == size();
}

int DownloadListModel::CountErrorItems() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(), [](const DownloadRow &r) {
        return IsPageType(r.type) || r.state == DownloadState::Failed;
    }));
}

QString DownloadListModel::ListCountsText() const
{
    QString text =
        QCoreApplication::translate("harvly::DownloadListModel",
                                    "Sum:%1|Downloading：%2|Waitting:%3|Completed:%4|Err:%5")
            .arg(size())
            .arg(countState(DownloadState::Downloading))
            .arg(countState(DownloadState::Waiting))
            .arg(countState(DownloadState::Finished))
            .arg(countState(DownloadState::Failed));
    if (m_unconfirmed > 0) {
        text += QCoreApplication::translate("harvly::DownloadListModel", "|Unconfirmed:%1")
                    .arg(m_unconfirmed);
    }
    return text;
}

int DownloadListModel::columnWidthTwips(int column)
{
    static const int widths[ColumnCount] = {10583, 1411, 1940, 1940, 1411, 10583, 2540};
    return column >= 0 && column < ColumnCount ? widths[column] : 0;
}

int DownloadListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : size();
}

int DownloadListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DownloadListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= size()) {
        return {};
    }
    const DownloadRow &r = at(index.row());
    const int c = index.column();
    if (role == Qt::DecorationRole && c == Title) {
        return m_icons.at(size_t(int(r.state) - 1));
    }
    if (role == Qt::TextAlignmentRole) {
        const bool right = c == FileSize || c == Downloaded || c == Percentage;
        return QVariant::fromValue(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role == Qt::UserRole) {
        return int(r.state);
    }
    if (role == SortRole) {
        // A cell that shows a text instead of a number sorts by that text.
        const QString shown = data(index, Qt::DisplayRole).toString();
        const bool number = shown.isEmpty() || shown.at(0).isDigit();
        switch (c) {
        case FileSize:
            return number ? QVariant(r.fileSize) : QVariant(shown);
        case Downloaded:
            return number ? QVariant(r.downloaded) : QVariant(shown);
        case Percentage:
            return number ? QVariant(qint64(r.percentage.value_or(-1))) : QVariant(shown);
        default:
            return shown;
        }
    }
    if (role == Qt::ToolTipRole && !r.reason.isEmpty()) {
        // A failed row says why wherever the pointer rests on it.
        return c == Title ? r.key + QLatin1Char('\n') + r.reason : r.reason;
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) {
        return {};
    }
    switch (c) {
    case Title:
        if (role == Qt::ToolTipRole) {
            // The address, what the document page said of the work, and what the document
            // check found.
            QString tip = r.record ? r.key + QLatin1Char('\n') + RecordSummary(*r.record) : r.key;
            if (r.pages > 0) {
                tip += QLatin1Char('\n') + QCoreApplication::translate("harvly::DownloadListModel",
                                                                       "%n page(s)", "", r.pages);
            }
            if (IsDocumentNote(r.note)) {
                tip += QLatin1Char('\n') + RowNoteText(r.note);
            }
            return tip;
        }
        return r.text;
    case Type:
        return r.type;
    case FileSize:
        return r.fileSizeText();
    case Downloaded:
        return r.downloadedText();
    case Percentage:
        return r.percentageText();
    case SavePath:
        return r.savePath;
    case B:
        return r.queuedAsPage ? QStringLiteral("Y") : QString();
    default:
        return {};
    }
}

QVariant DownloadListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        const bool right = section == FileSize || section == Downloaded || section == Percentage;
        return QVariant::fromValue(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    static const char *const captions[ColumnCount] = {
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "Title"),
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "Type"),
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "FileSize"),
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "Downloaded"),
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "percentage"),
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "SavePath"),
        QT_TRANSLATE_NOOP("harvly::DownloadListModel", "B")};
    return section >= 0 && section < ColumnCount
               ? QCoreApplication::translate("harvly::DownloadListModel", captions[section])
               : QVariant();
}

} // namespace harvly
