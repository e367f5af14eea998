#pragma once

#include "common/build.h"

#include <QString>
#include <QStringList>

namespace harvly {

class Settings;

// The outcome of confirming a save folder.
struct SaveFolderChoice {
    bool accepted = false;
    QString folder;       // with its trailing separator, when accepted
    QStringList messages; // to show the user, in order
};

// Confirms the folder text the user gave: creates every missing level (names cleaned), stores
// it as the download folder, appends it to the recent list and writes that list to listFile.
// A folder that cannot be made is refused with a message and nothing is stored.
SaveFolderChoice ConfirmSaveFolder(const QString &text, QStringList &recent,
                                   const QString &listFile, Settings &settings, const Build &build);

// "SaveList.dat" in the program's own folder.
QString SaveListFile();

} // namespace harvly
