#pragma once

#include "response.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QUrlQuery>

namespace harvly::testsite {

struct Request {
    QByteArray method;
    QString path;
    QUrlQuery query;
    QHash<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;
    QString origin;                        // "http://127.0.0.1:port", for absolute links
    QString latestVersion;                 // what "/Harvly/newver.txt" answers
    QHash<QString, int> *counts = nullptr; // requests so far per path and query ("busy" fault)
    const QStringList *ranges = nullptr;   // the ranges asked so far ("/ranges" lists them)
};

// The site's answer to a request.
Response Route(const Request &request);

// The sample records: 30 articles, ten to a result page.
constexpr int kRecordsPerPage = 10;
constexpr int kPages = 3;
QString RecordTitle(int id);

// The body "/resumable/N?size=S" serves: a PDF whose every line tells its own offset, so a
// part put in the wrong place shows.
QByteArray ResumableBody(int id, qint64 size);

} // namespace harvly::testsite
