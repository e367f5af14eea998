#pragma once

#include <QString>

class QAction;
class QMenu;

namespace harvly {

// A menu entry with the object name its window's code and tests find it by.
QAction *AddMenuItem(QMenu *menu, const char *objectName, const QString &text, bool enabled = true);

} // namespace harvly
