#pragma once

#include <QString>

namespace harvly {

// Where the program keeps its own files ("SaveList.dat", the sound files): its folder when
// that is writable (a portable copy), else the user's data folder for the program.
QString ProgramDataFolder();
QString ChooseProgramDataFolder(const QString &programFolder, const QString &userDataFolder);

// The sound file of soundId (101, 102 or 103) in folder, written from the program's own
// sounds when it is missing, so a user may replace it with one of theirs. "" when the
// sound is unknown or the file cannot be written.
QString SoundFile(int soundId, const QString &folder);

} // namespace harvly
