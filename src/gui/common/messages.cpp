#include "messages.h"

#include <QCoreApplication>

namespace harvly {

namespace {

// Shown without a nested event loop, so a flow or a timer that tells something goes on; a
// message that is already on screen is raised rather than shown twice.
void ShowNotice(QWidget *parent, const QString &text, QMessageBox::Icon icon)
{
    const QString caption = QCoreApplication::applicationName();
    if (parent) {
        for (QMessageBox *open :
             parent->findChildren<QMessageBox *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (open->isVisible() && open->text() == text && open->icon() == icon) {
                open->raise();
                return;
            }
        }
    }
    auto *box = new QMessageBox(icon, caption, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace

bool ShowMessage(QWidget *parent, const QString &text, MessageKind kind)
{
    switch (kind) {
    case MessageKind::Information:
        ShowNotice(parent, text, QMessageBox::Information);
        return true;
    case MessageKind::Error:
        ShowNotice(parent, text, QMessageBox::Critical);
        return true;
    case MessageKind::Question:
        return QMessageBox::question(parent, QCoreApplication::applicationName(), text,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }
    return true;
}

} // namespace harvly
