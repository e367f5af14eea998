#pragma once

#include "common/build.h"

#include <QList>
#include <QSet>
#include <QString>

#include <optional>
#include <random>

namespace harvly {

class DownloadListModel;
struct DownloadRow;

// The download list's bulk commands, as rules on the list: which rows each one touches and
// what it resets. None starts a download; the window asks and guards (downloads running).

// The next alternative address first: of "a|b" it makes "b|a", of "a|b|c" it makes "c|a|b".
QString RotateItemKeyUrls(const QString &key);

// Re-queueing: the row's file stays where it is until the new download has arrived whole and
// takes its place (DownloadRow::earlier); the row is Waiting again with its figures, note and
// reason cleared, a page row's type becomes UndecidedType() so the next download decides it
// anew, and where the build keeps alternative addresses the next
// one comes first. Each returns how many rows it re-queued.
int ReDownloadErrItems(DownloadListModel &list, const Build &build);
int ReDownloadHtmItems(DownloadListModel &list, const Build &build);
int ReDownloadSelectItems(DownloadListModel &list, const QSet<quint64> &selected,
                          const Build &build);
int ReDownloadErrAndHtmItems(DownloadListModel &list, const Build &build);
// The finished rows whose documents did not show their titles ("Title not found in the
// document"), and those rows sent back to be fetched again.
QSet<quint64> UnconfirmedItems(const DownloadListModel &list);
int ReDownloadUnconfirmedItems(DownloadListModel &list, const Build &build);
// Complete rows smaller than the number the user typed; nullopt when it is no number.
std::optional<int> ReDownloadAssinFileSizeItems(DownloadListModel &list, const QString &answer,
                                                const Build &build);

// A double-clicked Failed row goes back to the queue: its figures cleared, its type kept,
// its earlier file (if a re-download failed) still in place. False for a row in any other state.
bool ReQueueFailedItem(DownloadListModel &list, quint64 id);

// Removing rows (files on disk stay). Each returns how many went.
int ClearSelectItems(DownloadListModel &list, const QSet<quint64> &selected);
int ClearErrItems(DownloadListModel &list);
int ClearCompletedItems(DownloadListModel &list);

// Deleting the saved files of rows, which stay in the list with their state and type.
int DeleteHtmItems(DownloadListModel &list);
int DeleteErrItems(DownloadListModel &list);
// The row's file (without a "." when it has no type), if it exists; errors are ignored.
void DeleteItemFile(const DownloadRow &row);

// Marks the selected Waiting rows Failed, so the scheduler passes them by.
int CancelSelectedWaitingItems(DownloadListModel &list, const QSet<quint64> &selected);

// Every row's title on a line of its own (CR LF), or only those not Finished.
QString TitlesText(const DownloadListModel &list, bool unfinishedOnly);

// Rows whose file is missing show "not exist" in their Downloaded column. How many.
int CheckTheFileIsExists(DownloadListModel &list);

// The whole list in a uniformly random order, every row kept once.
void ShuffleList(DownloadListModel &list, std::mt19937_64 &random);

// Replaces every occurrence of `find` (letter case ignored, used as typed) by `with` in each
// row's address and referer, left to right without rescanning. When a rewritten address
// would equal another row's, nothing changes and that address is given back.
struct UrlReplaceOutcome {
    bool replaced = false;
    QString collision;
};
UrlReplaceOutcome ReplaceInUrls(DownloadListModel &list, const QString &find, const QString &with);

// A file over 2 MB is not opened in the text editor.
bool TooLargeForTextEditor(qint64 bytes);

} // namespace harvly
