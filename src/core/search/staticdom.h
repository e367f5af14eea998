#pragma once

#include "domnode.h"

#include <QString>

namespace harvly {

// The document tree of an HTML text, as a browser would build it for the page at url:
// for saved pages, the command line and tests.
DomDocument ParseHtmlDocument(const QString &html, const QString &url);

} // namespace harvly
