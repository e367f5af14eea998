#pragma once

#include <QString>

namespace harvly {

// The description of an os-release file: PRETTY_NAME, else NAME and VERSION, else "Linux".
QString OsReleaseDescription(const QString &osReleaseText);

// The system as the Chinese build names it: NAME + " 版本:" + VERSION_ID (else VERSION) +
// " (内部版本:" + the kernel's release + ")"; without a NAME, OsReleaseDescription.
QString OsProductText(const QString &osReleaseText, const QString &kernel);

// The running system in one line, followed by its address width: "...[64Bit]". With
// productText, named by OsProductText.
QString OsDescription(bool productText = false);

} // namespace harvly
