#include "shell.h"

#include "common/files.h"
#include "messages.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace harvly {

bool OpenUrlInShell(const QString &url, bool useBrowserWindow)
{
    Q_UNUSED(useBrowserWindow) // the desktop picks the window: a new one in the default browser
    const QFileInfo fi(url);
    if (fi.isFile() && fi.isExecutable()) {
        return QProcess::startDetached(fi.absoluteFilePath(), {}, fi.absolutePath());
    }
    const QUrl target =
        fi.exists() ? QUrl::fromLocalFile(fi.absoluteFilePath()) : QUrl::fromUserInput(url);
    return target.isValid() && QDesktopServices::openUrl(target);
}

void OpenFileWithAssociatedProgram(const QString &path, QWidget *owner)
{
    if (!QFileInfo::exists(path)) {
        ShowMessage(owner, QCoreApplication::translate("harvly", "file does not exist!"),
                    MessageKind::Error);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

bool OpenInWebBrowser(const QString &pathOrUrl)
{
    const QFileInfo fi(pathOrUrl);
    const QString target =
        fi.exists() ? QUrl::fromLocalFile(fi.absoluteFilePath()).toString() : pathOrUrl;
    // Debian's choice of browser, then the desktop's.
    for (const char *browser : {"x-www-browser", "sensible-browser"}) {
        const QString program = QStandardPaths::findExecutable(QLatin1String(browser));
        if (!program.isEmpty() && QProcess::startDetached(program, {target})) {
            return true;
        }
    }
    return OpenUrlInShell(pathOrUrl, true);
}

bool SelectFileInFolder(const QString &path)
{
    const QString file = path.trimmed();
    if (!FileExists(file)) {
        return false;
    }
    const QFileInfo fi(file);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(fi.absoluteFilePath()).toString()} << QString();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 3000);
    if (reply.type() == QDBusMessage::ReplyMessage) {
        return true;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(fi.absolutePath()));
}

} // namespace harvly
