#pragma once

#include "common/citationrecord.h"

#include <QList>
#include <QStringList>

namespace harvly {

// One document to queue: its address, title, type, the page it came from, its record.
struct DownloadJob {
    QString url;
    QString title;
    QString type;
    QString referer;
    SharedRecord record;
};

// harvly-cli download: queues addresses as the hand-over does and runs the download window's
// scheduler and engines on them until every row is done. Returns the exit status.
int RunDownloadCommand(const QStringList &args);
// The same run over jobs found by another command (fetch), with the download options of args;
// none is needed when a --state file holds the rows already.
int RunDownloadJobs(const QStringList &args, const QList<DownloadJob> &jobs);

} // namespace harvly
