#include "messages.h"

#include <QCoreApplication>

namespace harvly {

bool ShowMessage(QWidget *parent, const QString &text, MessageKind kind)
{
    const QString caption = QCoreApplication::applicationName();
    switch (kind) {
    case MessageKind::Information:
        QMessageBox::information(parent, caption, text);
        return true;
    case MessageKind::Error:
        QMessageBox::critical(parent, caption, text);
        return true;
    case MessageKind::Question:
        return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    }
    return true;
}

} // namespace harvly
