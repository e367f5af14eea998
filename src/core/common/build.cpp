#include "build.h"

namespace harvly {

QString Build::versionText() const
{
    return QStringLiteral("%1.%2.%3").arg(versionMajor).arg(versionMinor).arg(versionRevision);
}

Build Build::english()
{
    Build b;
    b.language = Language::English;
    b.executableName = QStringLiteral("Harvlyen");
    b.siblingExecutableName = QStringLiteral("Harvly");
    b.applicationTitle = QStringLiteral("Harvly Retrieving Download Manager");
    b.versionMajor = 1;
    b.versionMinor = 7;
    b.versionRevision = 519;
    b.unknownWindowsFamily = QStringLiteral("Unknown system ");
    return b;
}

Build Build::chinese()
{
    Build b;
    b.language = Language::Chinese;
    b.executableName = QStringLiteral("Harvly");
    b.siblingExecutableName = QStringLiteral("Harvlyen");
    b.applicationTitle = QStringLiteral("Harvly检索下载管理器");
    b.versionMajor = 1;
    b.versionMinor = 8;
    b.versionRevision = 1229;
    b.translationResource = QStringLiteral(":/i18n/harvly_zh_CN.qm");
    b.fileNameByteLimit = 200;
    b.trimCleanedFileName = false;
    b.compactContentTypes = true;
    b.alwaysWriteBrowserEmulation = true;
    b.unknownWindowsFamily = QStringLiteral("未知系统 ");
    b.alternativeAddressKeys = true;
    b.fileSizeCeiling = true;
    b.xmlCountsAsPage = true;
    b.typeFromDisposition = true;
    b.ownSettingKeys = true;
    b.systemNameAlone = true;
    b.systemProductText = true;
    b.proxyExampleHints = true;
    b.toldOfNewVersion = true;
    b.longestVersionReply = 20;
    return b;
}

} // namespace harvly
