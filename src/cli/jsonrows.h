#pragma once

#include "common/citationrecord.h"

#include <QJsonObject>
#include <QString>

namespace harvly {

// One row of a command's --json output: its fields, "record" (the citation record under
// CSL-JSON names) and "pdf" (the PDF the record names) when there is one; a line of
// compact JSON.
QString JsonRowLine(QJsonObject row, const SharedRecord &record);

} // namespace harvly
