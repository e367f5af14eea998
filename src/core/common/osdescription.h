#pragma once

#include <QString>

namespace harvly {

// The description of an os-release file: PRETTY_NAME, else NAME and VERSION, else "Linux".
QString OsReleaseDescription(const QString &osReleaseText);

// The running system in one line, followed by its address width: "...[64Bit]".
QString OsDescription();

} // namespace harvly
