#include "citationfile.h"

#include "common/settings.h"
#include "export/citationexport.h"

#include <QCoreApplication>
#include <QFileDialog>

namespace harvly {

QString AskCitationFile(QWidget *parent)
{
    const QString ris = QCoreApplication::translate("harvly", "RIS (*.ris)");
    const QString bib = QCoreApplication::translate("harvly", "BibTeX (*.bib)");
    const QString csl = QCoreApplication::translate("harvly", "CSL-JSON (*.json)");
    QString filter = ris;
    const QString file = QFileDialog::getSaveFileName(
        parent, QCoreApplication::translate("harvly", "Export Citations"), QString(),
        ris + QStringLiteral(";;") + bib + QStringLiteral(";;") + csl, &filter);
    return WithCitationExtension(file, filter == bib   ? CitationFormat::BibTex
                                       : filter == csl ? CitationFormat::CslJson
                                                       : CitationFormat::Ris);
}

void ExportCitations(const QList<CitationEntry> &entries, const Settings &settings,
                     const std::function<QString()> &askFile,
                     const std::function<void(const QString &, bool error)> &tell)
{
    if (entries.isEmpty()) {
        tell(QCoreApplication::translate("harvly", "No items to export!"), false);
        return;
    }
    const QString file = askFile();
    if (file.isEmpty()) {
        return;
    }
    QString error;
    if (!SaveCitations(file, entries, CitationFormatOfFile(file).value_or(CitationFormat::Ris),
                       settings.get(Keys::ExportAbsolutePaths), &error)) {
        tell(QCoreApplication::translate("harvly", "Cannot write %1: %2").arg(file, error), true);
        return;
    }
    tell(QCoreApplication::translate("harvly", "%n citation(s) exported to %1", "",
                                     int(entries.size()))
             .arg(file),
         false);
}

} // namespace harvly
