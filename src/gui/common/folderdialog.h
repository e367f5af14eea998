#pragma once

#include <QString>

class QWidget;

namespace harvly {

// Asks for a folder, starting near startPath. Returns it with a trailing separator, or
// startPath when the user cancels.
QString BrowseForFolder(QWidget *owner, const QString &startPath, const QString &title,
                        bool includeFiles);

} // namespace harvly
