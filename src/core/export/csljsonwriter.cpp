#include "citationexport.h"
#include "citationtext.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace harvly {

// CSL-JSON has no field for a file: the link goes into the note as "file: PATH", where
// reference managers that import CSL-JSON keep it in view.
bool WriteCslJson(QIODevice &device, const QList<CitationEntry> &entries,
                  const CitationPaths &paths)
{
    const QStringList keys = CitationKeys(entries);
    if (device.write("[\n") < 0) {
        return false;
    }
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const CitationEntry &e = entries.at(i);
        QJsonObject item = e.record ? RecordToCslJson(*e.record) : QJsonObject();
        item.insert(QStringLiteral("id"), keys.at(i));
        item.insert(QStringLiteral("type"), CslTypeName(ExportedType(e.record.get())));
        if (!e.workTitle().isEmpty()) {
            item.insert(QStringLiteral("title"), e.workTitle());
        }
        if (!e.page().isEmpty()) {
            item.insert(QStringLiteral("URL"), e.page());
        }
        if (!e.file.isEmpty()) {
            item.insert(QStringLiteral("note"), QStringLiteral("file: ") + paths.of(e.file));
        }
        QByteArray text = QJsonDocument(item).toJson(QJsonDocument::Indented);
        text.chop(1); // its line end: the separator goes after it
        text += i + 1 < entries.size() ? ",\n" : "\n";
        if (device.write(text) < 0) {
            return false;
        }
    }
    return device.write("]\n") >= 0;
}

} // namespace harvly
