#pragma once

#include <QString>
#include <QStringList>

namespace harvly {

// The PDF links an article's document page text holds, as the analysis finds them.

// The embedded viewer's sources: the "EmbedFile" one, then the "embedded-pdf" one (0 to 2).
QStringList FindEmbeddedPdfLinks(const QString &pageText);
// The absolute link of the page's "Download PDF" anchor, or "".
QString FindDownloadPdfLink(const QString &pageText);
// The document link and title of a page fetched for the bulk entry: both or neither.
struct DocumentLink {
    QString link;
    QString title;
};
DocumentLink FindDocumentLink(const QString &pageText);

} // namespace harvly
