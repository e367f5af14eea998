#pragma once

#include <QString>

namespace harvly {

// The folder a folder picker opens in for startPath: its parent when startPath names a
// folder below the root, the root when that does not exist.
QString BrowseStartFolder(const QString &startPath);
// What the picker returns: the chosen folder, or startPath when nothing was chosen, with a
// trailing separator.
QString BrowseResult(const QString &chosen, const QString &startPath);

} // namespace harvly
