#include "menutable.h"

#include <QAction>
#include <QMenu>

namespace harvly {

void BuildMenu(QMenu *menu, const QList<MenuItem> &items, QObject *context)
{
    for (const MenuItem &item : items) {
        if (!item.name) {
            menu->addSeparator();
        } else if (!item.items.isEmpty()) {
            QMenu *sub = menu->addMenu(item.text);
            sub->setObjectName(QLatin1String(item.name));
            BuildMenu(sub, item.items, context);
        } else {
            QAction *a = menu->addAction(item.text);
            a->setObjectName(QLatin1String(item.name));
            a->setCheckable(item.checkable);
            if (item.run && item.checkable) { // also when its mark is set by code
                QObject::connect(a, &QAction::toggled, context, item.run);
            } else if (item.run) {
                QObject::connect(a, &QAction::triggered, context, item.run);
            }
        }
    }
}

void EnableMenu(QMenu *menu, const QList<MenuItem> &items, bool downloading)
{
    for (const MenuItem &item : items) {
        if (!item.name) {
            continue;
        }
        if (item.when == WhenEnabled::Always) { // left to its window (Start while stopped)
            if (!item.items.isEmpty()) {
                if (QMenu *sub = menu->findChild<QMenu *>(QLatin1String(item.name))) {
                    EnableMenu(sub, item.items, downloading);
                }
            }
            continue;
        }
        const bool enabled = IsEnabledWhen(item.when, downloading);
        if (!item.items.isEmpty()) {
            if (QMenu *sub = menu->findChild<QMenu *>(QLatin1String(item.name))) {
                sub->menuAction()->setEnabled(enabled);
                EnableMenu(sub, item.items, downloading);
            }
        } else if (QAction *a = menu->findChild<QAction *>(QLatin1String(item.name))) {
            a->setEnabled(enabled);
        }
    }
}

} // namespace harvly
