#pragma once

#include "download/menurule.h"

#include <QList>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QObject;

namespace harvly {

// One entry of a menu declared as data: its object name (the name code and tests find it
// by), its text, and the command it runs; or a submenu with its entries; or a separator.
struct MenuItem {
    const char *name = nullptr; // nullptr: a separator
    QString text = {};
    std::function<void()> run = {}; // empty for a submenu
    QList<MenuItem> items = {};     // a submenu's entries
    WhenEnabled when = WhenEnabled::Always;
    bool checkable = false;

    static MenuItem separator() { return {}; }
};

// Adds the entries to menu, their commands run with context alive.
void BuildMenu(QMenu *menu, const QList<MenuItem> &items, QObject *context);
// Enables the entries of a menu built from items by their rules; an entry always enabled
// is left as its window set it.
void EnableMenu(QMenu *menu, const QList<MenuItem> &items, bool downloading);

} // namespace harvly
