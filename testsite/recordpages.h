#pragma once

#include "pages.h"

#include <optional>

namespace harvly::testsite {

// Document pages of other publishers' shapes, which state their record in the head and carry
// none of the site's markers: "/paper/N" (citation_* tags), "/paper/N/jsonld" (JSON-LD only),
// "/paper/N/dc" (Dublin Core and PRISM only), "/paper/N/nopdf" (a record that names no PDF),
// and the DOI resolver "/doi/10.5555/harvly.N", which sends the client on to "/paper/N".
std::optional<Response> RecordRoute(const Request &request);

// The citation_* tags of record id, for the site's own document pages too.
QString CitationTags(const Request &request, int id, bool withPdf);

} // namespace harvly::testsite
