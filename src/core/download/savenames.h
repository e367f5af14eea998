#pragma once

#include "common/duplicatemode.h"

#include <QString>

namespace harvly {

// The target path for a download: folder + name + "." + type (no "." without a type). A
// taken name (on disk, or reserved by a running transfer; "Cover" only minds the latter) gets the
// first free counter "[001]", "[002]", ... (counting on from a number already in brackets), with
// other square brackets in the name turned into 『』. *newName receives the base name that goes
// with the path. Names are cut so that the file name, counter and type included, fits the file
// system.
QString RenameSavePath(const QString &savePath, const QString &pureFileName,
                       const QString &fileType, DuplicateMode mode, QString *newName);

} // namespace harvly
