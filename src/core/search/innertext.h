#pragma once

#include <QString>

namespace harvly {

class DomNode;

// The text a browser renders for an element, computed from its text descendants: runs of
// white space become one space, <br> and block elements break lines, table cells are
// separated by tabs, and what is never rendered (scripts, styles) is left out.
QString RenderInnerText(const DomNode &element);

} // namespace harvly
