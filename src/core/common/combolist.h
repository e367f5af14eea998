#pragma once

#include <QString>
#include <QStringList>

namespace harvly {

// Recent entries kept in a text file, one per line. Adds at most 100 non-empty lines of
// the file to items, skipping those already there (compared case-insensitively).
void LoadComboItemsFromFile(QStringList &items, const QString &file);
// Rewrites the file with the items, CR LF after each; true when the file was written.
bool SaveComboItemsToFile(const QStringList &items, const QString &file);

} // namespace harvly
