#include "forms.h"

#include <QDialog>

#include "common/formposition.h"
#include "common/settings.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

namespace harvly {

namespace {

QSize screenPixels(const QWidget *form)
{
    const QScreen *screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}

const char *const kUnloaded = "harvlyUnloaded";

} // namespace

void MarkFormUnloaded(QWidget *form)
{
    form->setProperty(kUnloaded, true);
}

QWidget *FindForm(const QString &formName)
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows) {
        if (w->objectName().compare(formName, Qt::CaseInsensitive) == 0 &&
            !w->property(kUnloaded).toBool()) {
            return w;
        }
    }
    return nullptr;
}

bool IsFormLoaded(const QString &formName)
{
    return FindForm(formName) != nullptr;
}

void LoadFormPosition(QWidget *form, const Settings &settings)
{
    const FormPlacement p =
        harvly::LoadFormPosition(settings, form->objectName(), screenPixels(form));
    if (p.maximised) {
        form->setWindowState(form->windowState() | Qt::WindowMaximized);
        return;
    }
    const QRect &t = p.twips;
    form->setGeometry(t.left() / kTwipsPerPixel, t.top() / kTwipsPerPixel,
                      t.width() / kTwipsPerPixel, t.height() / kTwipsPerPixel);
    form->setWindowState(form->windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized));
}

void SaveFormPosition(const QWidget *form, Settings &settings)
{
    FormPlacement p;
    p.maximised = form->isMaximized();
    const QRect g = form->geometry();
    p.twips = QRect(g.left() * kTwipsPerPixel, g.top() * kTwipsPerPixel, g.width() * kTwipsPerPixel,
                    g.height() * kTwipsPerPixel);
    harvly::SaveFormPosition(settings, form->objectName(), p, screenPixels(form));
}

void OpenDialog(QDialog *dialog)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->open();
}

} // namespace harvly
