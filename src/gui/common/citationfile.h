#pragma once

#include <QList>
#include <QString>

#include <functional>

class QWidget;

namespace harvly {

// The save dialog of "Export Citations...": one filter per format (RIS, BibTeX, CSL-JSON). A
// name typed without one of their extensions gets the chosen filter's, so the name always
// says the format. "" when cancelled.
QString AskCitationFile(QWidget *parent);

struct CitationEntry;
class Settings;

// "Export Citations..." of either window: asks for the file (askFile, "" when cancelled),
// writes the entries in the format its name says with the file links "Set" asks for, and
// tells how it went (tell: the text, and whether it is an error).
void ExportCitations(const QList<CitationEntry> &entries, const Settings &settings,
                     const std::function<QString()> &askFile,
                     const std::function<void(const QString &, bool error)> &tell);

} // namespace harvly
