#include "resultlist.h"

#include <QCoreApplication>

namespace harvly {

ResultListModel::ResultListModel(QObject *parent) : QAbstractTableModel(parent) {}

bool ResultListModel::AddToLV1(const QString &title, const QString &url, const QString &ref,
                               const QString &sType, const QString &sSavePath,
                               const QString &contType, SharedRecord record)
{
    if (url.isEmpty() || m_byKey.contains(url)) {
        return false;
    }
    const int row = size();
    beginInsertRows({}, row, row);
    ResultRow r;
    r.id = m_nextId++;
    r.title = title;
    r.fileType = sType;
    r.savePath = sSavePath;
    r.type = contType;
    r.key = url;
    r.tag = ref;
    r.record = std::move(record);
    m_byKey.insert(url, r.id);
    m_rows.push_back(std::move(r));
    endInsertRows();
    emit countChanged(size());
    return true;
}

int ResultListModel::rowOf(quint64 id) const
{
    for (int i = 0; i < size(); ++i) {
        if (m_rows[size_t(i)].id == id) {
            return i;
        }
    }
    return -1;
}

const ResultRow *ResultListModel::find(quint64 id) const
{
    const int row = rowOf(id);
    return row < 0 ? nullptr : &m_rows[size_t(row)];
}

QList<quint64> ResultListModel::ids() const
{
    QList<quint64> out;
    out.reserve(size());
    for (const ResultRow &r : m_rows) {
        out.append(r.id);
    }
    return out;
}

QString AnalysisStateText(Analysis state)
{
    switch (state) {
    case Analysis::Success:
        return QCoreApplication::translate("harvly::ArticleAnalysis", "success");
    case Analysis::Failure:
        return QCoreApplication::translate("harvly::ArticleAnalysis", "Failure");
    case Analysis::NotYet:
        break;
    }
    return {};
}

void ResultListModel::setAnalysisState(quint64 id, Analysis state)
{
    const int row = rowOf(id);
    if (row >= 0) {
        m_rows[size_t(row)].analysisState = state;
        emit dataChanged(index(row, AnalysisState), index(row, AnalysisState));
    }
}

void ResultListModel::setRecord(quint64 id, SharedRecord record)
{
    const int row = rowOf(id);
    if (row >= 0 && record) {
        m_rows[size_t(row)].record = std::move(record);
        emit dataChanged(index(row, Title), index(row, Title), {Qt::ToolTipRole});
    }
}

int ResultListModel::removeWhere(const std::function<bool(const ResultRow &)> &match)
{
    int removed = 0;
    // Walked from the first row on; a removal leaves the index where it is, so consecutive
    // matches are all taken.
    for (int i = 0; i < size();) {
        if (match(m_rows[size_t(i)])) {
            beginRemoveRows({}, i, i);
            m_byKey.remove(m_rows[size_t(i)].key);
            m_rows.erase(m_rows.begin() + i);
            endRemoveRows();
            ++removed;
        } else {
            ++i;
        }
    }
    if (removed) {
        emit countChanged(size());
    }
    return removed;
}

int ResultListModel::removeIds(const QList<quint64> &ids)
{
    return removeWhere([&ids](const ResultRow &r) { return ids.contains(r.id); });
}

void ResultListModel::clear()
{
    if (m_rows.empty()) {
        return;
    }
    beginResetModel();
    m_rows.clear();
    m_byKey.clear();
    endResetModel();
    emit countChanged(0);
}

QByteArray ResultListModel::OutputDataText(bool chineseBrackets) const
{
    const QString open = chineseBrackets ? QStringLiteral("-【") : QStringLiteral("-[");
    const QString close = chineseBrackets ? QStringLiteral("】") : QStringLiteral("]");
    QString text;
    for (const ResultRow &r : m_rows) {
        text += r.title + open + r.fileType + close + AnalysisStateText(r.analysisState) +
                QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

int ResultListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : size();
}

int ResultListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ResultListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= size()) {
        return {};
    }
    const ResultRow &r = at(index.row());
    if (role == Qt::ToolTipRole && index.column() == Title) {
        // The link, and what the document page said of the work.
        return r.record ? r.key + QLatin1Char('\n') + RecordSummary(*r.record) : r.key;
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
    case Title:
        return r.title;
    case FileType:
        return r.fileType;
    case AnalysisState:
        return AnalysisStateText(r.analysisState);
    case SavePath:
        return r.savePath;
    case Type:
        return r.type;
    default:
        return {};
    }
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
    case Title:
        return QCoreApplication::translate("harvly::ResultListModel", "Title");
    case FileType:
        return QCoreApplication::translate("harvly::ResultListModel", "File type");
    case AnalysisState:
        return QCoreApplication::translate("harvly::ResultListModel", "Analysis state");
    case SavePath:
        return QCoreApplication::translate("harvly::ResultListModel", "Save Path");
    case Type:
        return QCoreApplication::translate("harvly::ResultListModel", "TYPE");
    default:
        return {};
    }
}

} // namespace harvly
