#include "handover.h"

#include "common/filenames.h"
#include "common/program.h"
#include "downloadlist.h"

namespace harvly {

std::optional<quint64> AddDownloadRow(DownloadListModel &list, const Program &program,
                                      const QString &url, const QString &title,
                                      const QString &articleType, const QString &ref,
                                      const QString &savePath, SharedRecord record)
{
    const QString cleanTitle = RemoveLineBreaks(title).trimmed();
    const QString folder = savePath.isEmpty() ? program.downloadSaveFolder : savePath;
    const QString name =
        program.useOriginalFileName ? GetFileNameFromPath(url, true) : cleanTitle.trimmed();
    const std::optional<quint64> id =
        list.add(url, MakeValidFileName(name, program.build()), articleType, folder, ref);
    if (id && record) {
        list.update(*id, [&record](DownloadRow &r) { r.record = std::move(record); });
    }
    return id;
}

} // namespace harvly
