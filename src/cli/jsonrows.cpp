#include "jsonrows.h"

#include <QJsonDocument>

namespace harvly {

QString JsonRowLine(QJsonObject row, const SharedRecord &record)
{
    if (record) {
        row.insert(QStringLiteral("record"), RecordToCslJson(*record));
        if (!record->pdfUrl.isEmpty()) {
            row.insert(QStringLiteral("pdf"), record->pdfUrl);
        }
    }
    return QString::fromUtf8(QJsonDocument(row).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
}

} // namespace harvly
