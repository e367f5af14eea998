#pragma once

#include "common/citationrecord.h"

#include <QString>

namespace harvly {

// What the three writers share.

// A value on one line: every control character (line breaks and tabs included) and every run
// of white space becomes one space, so a field never spills into the next line's tag.
QString OneLine(const QString &text);

// The kind of work as the writers name it: the record's own, else an article when it names a
// journal, else a generic document.
CitationType ExportedType(const CitationRecord *record);

} // namespace harvly
