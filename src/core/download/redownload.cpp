#include "redownload.h"

#include "downloadlist.h"

#include <QFile>

namespace harvly {

namespace {

bool done(const DownloadRow &r)
{
    return r.state == DownloadState::Finished || r.state == DownloadState::Failed;
}

void requeue(DownloadListModel &list, quint64 id, bool alwaysNewType)
{
    const DownloadRow *row = list.find(id);
    if (!row) {
        return;
    }
    QFile::remove(row->localFile());
    list.update(id, [alwaysNewType](DownloadRow &r) {
        r.state = DownloadState::Waiting;
        if (alwaysNewType || IsPageType(r.type)) {
            r.type = QStringLiteral("xxx");
        }
        r.clearProgress();
    });
    QFile::remove(list.find(id)->localFile());
}

int requeueWhere(DownloadListModel &list, bool (*match)(const DownloadRow &), bool alwaysNewType)
{
    QList<quint64> ids;
    for (int i = 0; i < list.size(); ++i) {
        if (match(list.at(i))) {
            ids << list.at(i).id;
        }
    }
    for (const quint64 id : ids) {
        requeue(list, id, alwaysNewType);
    }
    return int(ids.size());
}

} // namespace

int ReDownloadErrItems(DownloadListModel &list)
{
    return requeueWhere(
        list, [](const DownloadRow &r) { return r.state == DownloadState::Failed; }, false);
}

int ReDownloadHtmItems(DownloadListModel &list)
{
    return requeueWhere(
        list, [](const DownloadRow &r) { return done(r) && IsPageOrXmlType(r.type); }, true);
}

} // namespace harvly
