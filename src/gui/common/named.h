#pragma once

#include <QPushButton>
#include <QString>

namespace harvly {

// Gives a control the name the windows' tests and the design refer to it by.
template <typename W> W *Named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

inline QPushButton *NamedButton(QWidget *parent, const char *name, const QString &text)
{
    return Named(new QPushButton(text, parent), name);
}

} // namespace harvly
