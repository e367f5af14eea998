#include "resultlist.h"

#include <QCoreApplication>

namespace harvly {

ResultListModel::ResultListModel(QObject *parent) : QAbstractTableModel(parent) {}

bool ResultListModel::AddToLV1(const QString &title, const QString &url, const QString &ref,
                               const QString &sType, const QString &sSavePath,
                               const QString &contType)
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
    m_byKey.insert(url, r.id);
    m_rows.push_back(std::move(r));
    endInsertRows();
    emit countChanged(size());
    return true;
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
        return r.key;
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
        return r.analysisState;
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
