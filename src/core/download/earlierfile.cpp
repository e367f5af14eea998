#include "earlierfile.h"

#include "common/filenames.h"
#include "common/files.h"
#include "downloadlist.h"
#include "filetype.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace harvly {

namespace {

// The earlier file is one of the row's own names: its folder, its title, any extension.
bool ownedBy(const QString &earlier, const DownloadRow &row)
{
    const QFileInfo file(earlier);
    const QFileInfo folder(row.savePath);
    return QDir(file.absolutePath()) == QDir(folder.absoluteFilePath()) &&
           (file.completeBaseName() == row.text || file.fileName() == row.text);
}

} // namespace

bool BringsTheDocument(const QString &earlier, const QString &arrived)
{
    if (earlier.isEmpty() || !FileExists(earlier)) {
        return true;
    }
    return !IsPageType(OpenFileToAnalyzingFileType(arrived)) ||
           IsPageType(OpenFileToAnalyzingFileType(earlier));
}

void SettleEarlierFile(DownloadListModel &list, quint64 rowId)
{
    const DownloadRow *row = list.find(rowId);
    if (!row || row->earlier.isEmpty()) {
        return;
    }
    const QString earlier = row->earlier;
    if (row->state == DownloadState::Finished) {
        if (earlier != row->localFile() && FileExists(earlier) && ownedBy(earlier, *row)) {
            QFile::remove(earlier);
        }
        list.update(rowId, [](DownloadRow &r) { r.earlier.clear(); });
        return;
    }
    if (row->state != DownloadState::Failed || earlier == row->localFile() ||
        !FileExists(earlier)) {
        return;
    }
    const QFileInfo file(earlier);
    list.update(rowId, [&](DownloadRow &r) {
        r.text = file.suffix().isEmpty() ? file.fileName() : file.completeBaseName();
        r.type = file.suffix();
    });
}

} // namespace harvly
