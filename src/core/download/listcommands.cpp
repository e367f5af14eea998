#include "listcommands.h"

#include "downloadlist.h"

#include <QFile>

#include <algorithm>

namespace harvly {

namespace {

bool done(const DownloadRow &r)
{
    return r.state == DownloadState::Finished || r.state == DownloadState::Failed;
}

QList<quint64> idsWhere(const DownloadListModel &list,
                        const std::function<bool(const DownloadRow &)> &match)
{
    QList<quint64> ids;
    for (int i = 0; i < list.size(); ++i) {
        if (match(list.at(i))) {
            ids << list.at(i).id;
        }
    }
    return ids;
}

// A row asked for again keeps the file it has until the new download replaces it: a
// re-download that fails must not have cost the document. Only a row that downloaded its
// file owns it; a Failed row's name may be another row's file, and "Skip" found a file
// that was there before.
void keepEarlierFile(DownloadRow &r)
{
    if (r.earlier.isEmpty() && r.state == DownloadState::Finished &&
        r.note != RowNote::AlreadyExists && QFile::exists(r.localFile())) {
        r.earlier = r.localFile();
    }
}

void requeue(DownloadListModel &list, quint64 id, bool alwaysNewType, const Build &build)
{
    list.update(id, [&](DownloadRow &r) {
        keepEarlierFile(r);
        r.state = DownloadState::Waiting;
        if (alwaysNewType || IsPageType(r.type)) {
            r.type = UndecidedType();
        }
        r.clearProgress();
        r.busyAnswers = 0; // asked for again: the site's earlier "busy" answers are forgotten
        r.retries = 0;
        r.retryAt = 0;
        if (build.alternativeAddressKeys) {
            r.key = RotateItemKeyUrls(r.key);
        }
    });
}

int requeueWhere(DownloadListModel &list, const std::function<bool(const DownloadRow &)> &match,
                 bool alwaysNewType, const Build &build)
{
    const QList<quint64> ids = idsWhere(list, match);
    for (const quint64 id : ids) {
        requeue(list, id, alwaysNewType, build);
    }
    return int(ids.size());
}

int removeWhere(DownloadListModel &list, const std::function<bool(const DownloadRow &)> &match)
{
    const QList<quint64> ids = idsWhere(list, match);
    list.removeIds(ids);
    return int(ids.size());
}

int deleteFilesWhere(DownloadListModel &list, const std::function<bool(const DownloadRow &)> &match)
{
    const QList<quint64> ids = idsWhere(list, match);
    for (const quint64 id : ids) {
        list.update(id, [](DownloadRow &r) {
            r.fileSize = -1;
            r.sizeUnknown = false;
            r.downloaded = -1;
            r.percentage.reset();
            r.note = RowNote::None;
            r.fileMissing = false; // the file is gone on purpose: nothing left to report
            RemovePartialFile(r.part);
            r.part = {};
            r.earlier.clear();
        });
        DeleteItemFile(*list.find(id));
    }
    return int(ids.size());
}

} // namespace

QString RotateItemKeyUrls(const QString &key)
{
    QStringList addresses = AlternativeAddresses(key);
    if (addresses.size() < 2 || addresses.size() > 3) {
        return key;
    }
    addresses.prepend(addresses.takeLast());
    return KeyOfAlternatives(addresses);
}

int ReDownloadErrItems(DownloadListModel &list, const Build &build)
{
    return requeueWhere(
        list, [](const DownloadRow &r) { return r.state == DownloadState::Failed; }, false, build);
}

int ReDownloadHtmItems(DownloadListModel &list, const Build &build)
{
    return requeueWhere(
        list, [](const DownloadRow &r) { return done(r) && IsPageOrXmlType(r.type); }, true, build);
}

int ReDownloadSelectItems(DownloadListModel &list, const QSet<quint64> &selected,
                          const Build &build)
{
    return requeueWhere(
        list, [&](const DownloadRow &r) { return selected.contains(r.id) && done(r); }, false,
        build);
}

QSet<quint64> UnconfirmedItems(const DownloadListModel &list)
{
    QSet<quint64> ids;
    for (const DownloadRow &r : list.rows()) {
        if (r.state == DownloadState::Finished && r.note == RowNote::TitleNotFound) {
            ids.insert(r.id);
        }
    }
    return ids;
}

int ReDownloadUnconfirmedItems(DownloadListModel &list, const Build &build)
{
    return ReDownloadSelectItems(list, UnconfirmedItems(list), build);
}

int ReDownloadErrAndHtmItems(DownloadListModel &list, const Build &build)
{
    return requeueWhere(
        list,
        [](const DownloadRow &r) {
            return r.state == DownloadState::Failed || (done(r) && IsPageType(r.type));
        },
        false, build);
}

std::optional<int> ReDownloadAssinFileSizeItems(DownloadListModel &list, const QString &answer,
                                                const Build &build)
{
    bool ok = false;
    const double limit = answer.trimmed().toDouble(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return requeueWhere(
        list,
        [limit](const DownloadRow &r) {
            // "not exist" in the Downloaded column is no number.
            return done(r) && !r.fileMissing && r.fileSize >= 0 && r.downloaded == r.fileSize &&
                   double(r.fileSize) < limit;
        },
        false, build);
}

bool ReQueueFailedItem(DownloadListModel &list, quint64 id)
{
    const DownloadRow *row = list.find(id);
    if (!row || row->state != DownloadState::Failed) {
        return false;
    }
    list.update(id, [](DownloadRow &r) {
        keepEarlierFile(r);
        r.state = DownloadState::Waiting;
        r.clearProgress();
        r.busyAnswers = 0;
        r.retries = 0;
        r.retryAt = 0;
    });
    return true;
}

int ClearSelectItems(DownloadListModel &list, const QSet<quint64> &selected)
{
    return removeWhere(list, [&](const DownloadRow &r) { return selected.contains(r.id); });
}

int ClearErrItems(DownloadListModel &list)
{
    return removeWhere(list, [](const DownloadRow &r) { return r.state == DownloadState::Failed; });
}

int ClearCompletedItems(DownloadListModel &list)
{
    return removeWhere(list,
                       [](const DownloadRow &r) { return r.state == DownloadState::Finished; });
}

int DeleteHtmItems(DownloadListModel &list)
{
    return deleteFilesWhere(
        list, [](const DownloadRow &r) { return done(r) && IsPageOrXmlType(r.type); });
}

int DeleteErrItems(DownloadListModel &list)
{
    return deleteFilesWhere(list,
                            [](const DownloadRow &r) { return r.state == DownloadState::Failed; });
}

void DeleteItemFile(const DownloadRow &row)
{
    const QString file = row.localFile();
    if (QFile::exists(file)) {
        QFile::remove(file);
    }
}

int CancelSelectedWaitingItems(DownloadListModel &list, const QSet<quint64> &selected)
{
    const QList<quint64> ids = idsWhere(list, [&](const DownloadRow &r) {
        return selected.contains(r.id) && r.state == DownloadState::Waiting;
    });
    for (const quint64 id : ids) {
        list.update(id, [](DownloadRow &r) { r.state = DownloadState::Failed; });
    }
    return int(ids.size());
}

QString TitlesText(const DownloadListModel &list, bool unfinishedOnly)
{
    QString text;
    for (int i = 0; i < list.size(); ++i) {
        const DownloadRow &r = list.at(i);
        if (!unfinishedOnly || r.state != DownloadState::Finished) {
            text += r.text + QStringLiteral("\r\n");
        }
    }
    return text;
}

int CheckTheFileIsExists(DownloadListModel &list)
{
    const QList<quint64> ids =
        idsWhere(list, [](const DownloadRow &r) { return !QFile::exists(r.localFile()); });
    for (const quint64 id : ids) {
        list.update(id, [](DownloadRow &r) { r.fileMissing = true; });
    }
    return int(ids.size());
}

void ShuffleList(DownloadListModel &list, std::mt19937_64 &random)
{
    QList<quint64> order = list.ids();
    std::shuffle(order.begin(), order.end(), random);
    list.setOrder(order);
}

UrlReplaceOutcome ReplaceInUrls(DownloadListModel &list, const QString &find, const QString &with)
{
    if (find.isEmpty()) {
        return {};
    }
    // Every new address first: the list's addresses must stay unique.
    QList<QString> keys;
    QSet<QString> seen;
    for (int i = 0; i < list.size(); ++i) {
        QString key = list.at(i).key;
        key.replace(find, with, Qt::CaseInsensitive);
        if (seen.contains(key)) {
            return {false, key};
        }
        seen.insert(key);
        keys << key;
    }
    const QList<quint64> ids = list.ids();
    for (int i = 0; i < ids.size(); ++i) {
        list.update(ids.at(i), [&](DownloadRow &r) {
            r.key = keys.at(i);
            r.tag.replace(find, with, Qt::CaseInsensitive);
        });
    }
    return {true, {}};
}

bool TooLargeForTextEditor(qint64 bytes)
{
    return bytes / 1024.0 > 2048;
}

} // namespace harvly
