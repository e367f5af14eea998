#include "savefolder.h"

#include "common/combolist.h"
#include "common/filenames.h"
#include "common/files.h"
#include "common/programfiles.h"
#include "common/settings.h"

#include <QCoreApplication>
#include <QDir>

namespace harvly {

SaveFolderChoice ConfirmSaveFolder(const QString &text, QStringList &recent,
                                   const QString &listFile, Settings &settings, const Build &build)
{
    SaveFolderChoice choice;
    const QString sep = QDir::separator();
    QString folder = text;
    if (folder.isEmpty() || !IsPathSeparator(folder.back())) {
        folder += sep;
    }
    QString message;
    folder = CreateFolderPath(folder, build, &message);
    if (!message.isEmpty()) {
        choice.messages << message;
    }
    if (folder.isEmpty()) {
        choice.messages << QCoreApplication::translate("harvly", "Folder Settings Error！");
        return choice;
    }
    recent.append(folder.trimmed());
    choice.folder = IsPathSeparator(folder.back()) ? folder : folder + sep;
    choice.accepted = true;
    settings.set(Keys::SavePathOfDownloadFile, choice.folder);
    SaveComboItemsToFile(recent, listFile);
    return choice;
}

QString SaveListFile()
{
    return ProgramDataFolder() + QStringLiteral("/SaveList.dat");
}

} // namespace harvly
