#include "citationfile.h"

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

} // namespace harvly
