#pragma once

#include "domnode.h"

#include <QByteArray>

namespace harvly {

// The document tree from the JSON that the browser's page walker returns:
// {"url", "html", "root": {"t", "i", "c", "n", "y", "v", "h", "x"?, "k": [...]}}, with text
// nodes as {"t": "#text", "d": ...}. An element without "x" has its inner text computed.
DomDocument DocumentFromSnapshot(const QByteArray &json);

} // namespace harvly
