#pragma once

#include "common/citationrecord.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QString>

#include <functional>
#include <vector>

namespace harvly {

// What the analysis made of a result row; the list shows it as a word ("success").
enum class Analysis { NotYet, Success, Failure };
QString AnalysisStateText(Analysis state);

// One search result: an article's title and the link of its full text or document page.
struct ResultRow {
    quint64 id = 0; // stable while the row lives, whatever sorting or removal does
    QString title;
    QString fileType; // "pdf" or "htm"
    Analysis analysisState = Analysis::NotYet;
    QString savePath;
    QString type;        // where the row came from: "SPC", "DT", "PQ1", "SS"
    QString key;         // the link; unique in the list
    QString tag;         // the page the row was harvested from
    SharedRecord record; // what its document page said of the work; null when unknown
};

// The search window's result list: five columns, one row per result, keys unique.
class ResultListModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResultListModel)

public:
    enum Column { Title, FileType, AnalysisState, SavePath, Type, ColumnCount };

    explicit ResultListModel(QObject *parent = nullptr);

    // Adds a row unless the url is already a key; true when added.
    bool AddToLV1(const QString &title, const QString &url, const QString &ref,
                  const QString &sType, const QString &sSavePath, const QString &contType,
                  SharedRecord record = {});

    bool containsKey(const QString &key) const { return m_byKey.contains(key); }
    int rowOf(quint64 id) const;
    const ResultRow *find(quint64 id) const;
    QList<quint64> ids() const;
    void setAnalysisState(quint64 id, Analysis state);
    void setRecord(quint64 id, SharedRecord record);

    // Removal rules; each returns how many rows went.
    int removeIds(const QList<quint64> &ids);
    int removeWhere(const std::function<bool(const ResultRow &)> &match);
    void clear();

    // The list as text, a line per row: title-[file type]analysis state, CR LF after each.
    QByteArray OutputDataText(bool chineseBrackets) const;
    const ResultRow &at(int row) const { return m_rows.at(size_t(row)); }
    int size() const { return int(m_rows.size()); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    void countChanged(int count);

private:
    std::vector<ResultRow> m_rows;
    QHash<QString, quint64> m_byKey;
    quint64 m_nextId = 1;
};

} // namespace harvly
