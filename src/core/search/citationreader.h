#pragma once

#include "common/citationrecord.h"

#include <QString>

namespace harvly {

// The citation record a document page states in its markup, first found wins per field:
// the citation_* meta tags, then Dublin Core and PRISM meta tags, then a JSON-LD block of a
// ScholarlyArticle, Article or Report, then <link rel="alternate" type="application/pdf">
// for the PDF and og:title for the title. Entities decoded, white space collapsed, relative
// addresses resolved against the page (or its <base>); a PDF address is kept only when it
// is http or https. pageUrl becomes the record's page address.
CitationRecord ReadCitationRecord(const QString &pageText, const QString &pageUrl);

} // namespace harvly
