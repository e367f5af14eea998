#include "correction.h"

#include "common/filenames.h"
#include "common/files.h"
#include "downloadlist.h"
#include "filetype.h"

#include <QFile>
#include <QSaveFile>

namespace harvly {

bool CorrectItemFileType(DownloadListModel &list, quint64 rowId)
{
    const DownloadRow *row = list.find(rowId);
    if (!row) {
        return false;
    }
    const QString current = row->type.toLower();
    const QString oldPath = row->localFile();
    if (!FileExists(oldPath)) {
        return false;
    }
    const QString detected = OpenFileToAnalyzingFileType(oldPath);
    if (detected.isEmpty() || detected.compare(current, Qt::CaseInsensitive) == 0) {
        return false;
    }
    const QString plain = row->savePath + row->text + QLatin1Char('.') + detected;
    // The row's own earlier file under the real type: the new download takes its place.
    const bool replacesEarlier = plain == row->earlier;
    const QString newPath = replacesEarlier ? plain : GetUniqueFileName(plain);
    if (replacesEarlier ? MoveIntoPlace(oldPath, newPath, true) != FileMove::Done
                        : !QFile::rename(oldPath, newPath) || !FileExists(newPath)) {
        return false;
    }
    QString base;
    SplitFileName(newPath, &base);
    list.update(rowId, [&](DownloadRow &r) {
        r.type = detected;
        r.text = base;
    });
    return true;
}

QString GetItemUrlFromKey(const QString &key)
{
    return AlternativeAddresses(key).constFirst();
}

namespace {

QByteArray attributeEscaped(const QString &text)
{
    QString s = text.toHtmlEscaped(); // & < > "
    s.replace(QLatin1Char('\''), QLatin1String("&#39;"));
    return s.toUtf8();
}

} // namespace

bool AddBaseHrefToSavedPage(const DownloadListModel &list, quint64 rowId, const Build &build)
{
    const DownloadRow *row = list.find(rowId);
    if (!row || !row->queuedAsPage) {
        return false;
    }
    const QString type = row->type.toLower();
    if (type != QLatin1String("htm") && type != QLatin1String("html")) {
        return false;
    }
    const QString path = row->savePath + row->text + QLatin1Char('.') + type;
    QFile in(path);
    if (!FileExists(path) || !in.open(QIODevice::ReadOnly)) {
        return false;
    }
    QByteArray page = in.readAll();
    in.close();
    // Worked on the bytes, so the page keeps its own encoding.
    const qsizetype at = page.toLower().indexOf("</head>");
    if (at < 0) {
        return false;
    }
    const QString address = build.alternativeAddressKeys ? GetItemUrlFromKey(row->key) : row->key;
    page.insert(at, "<Base href='" + attributeEscaped(address) + "'>");
    // Replaced in one step: a failed write leaves the old page as it was.
    QSaveFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(page) == page.size() && out.commit();
}

} // namespace harvly
