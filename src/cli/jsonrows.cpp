#include "jsonrows.h"

#include <QJsonDocument>

namespace harvly {

QString JsonRowLine(QJsonObject row, const SharedRecord &record)
{
    InsertRecord(row, record, QStringLiteral("pdf"));
    return QString::fromUtf8(QJsonDocument(row).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
}

} // namespace harvly
