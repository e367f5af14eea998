#include "programfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace harvly {

QString ChooseProgramDataFolder(const QString &programFolder, const QString &userDataFolder)
{
    const QFileInfo fi(programFolder);
    if (fi.isDir() && fi.isWritable()) {
        return programFolder;
    }
    QDir().mkpath(userDataFolder);
    return userDataFolder;
}

QString ProgramDataFolder()
{
    return ChooseProgramDataFolder(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
}

QString SoundFile(int soundId, const QString &folder)
{
    const QString path = folder + QStringLiteral("/%1.wav").arg(soundId);
    if (QFileInfo(path).isFile()) {
        return path;
    }
    QFile resource(QStringLiteral(":/sounds/%1.wav").arg(soundId));
    if (!resource.open(QIODevice::ReadOnly)) {
        return {};
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(resource.readAll()) < 0 || !out.commit()) {
        return {};
    }
    return path;
}

} // namespace harvly
