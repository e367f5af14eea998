#include "menus.h"

#include <QAction>
#include <QMenu>

namespace harvly {

QAction *AddMenuItem(QMenu *menu, const char *objectName, const QString &text, bool enabled)
{
    QAction *a = menu->addAction(text);
    a->setObjectName(QLatin1String(objectName));
    a->setEnabled(enabled);
    return a;
}

} // namespace harvly
