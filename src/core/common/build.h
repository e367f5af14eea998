#pragma once

#include <QString>

namespace harvly {

enum class Language { English, Chinese };

// What tells the two programs apart: language, identity, and the few rules that differ.
// Chosen once in each main() and passed down; code asks for a flag, never for the language.
struct Build {
    Language language = Language::English;
    QString executableName;
    QString siblingExecutableName;
    QString applicationTitle;
    int versionMajor = 0;
    int versionMinor = 0;
    int versionRevision = 0;
    QString translationResource; // empty: the source texts are shown

    int fileNameByteLimit = 250;      // bytes a cleaned file name may take
    bool trimCleanedFileName = true;  // trim spaces after the byte cut
    bool compactContentTypes = false; // one short lower-case extension per MIME type
    bool alwaysWriteBrowserEmulation = false;
    QString unknownWindowsFamily;        // edition prefix for an unknown Windows 6.x minor
    bool alternativeAddressKeys = false; // a download key may hold "|"-separated addresses
    bool fileSizeCeiling = false;        // downloads above a stored size in MB are skipped
    bool xmlCountsAsPage = false;        // an "xml" answer is a page (login, re-download)
    bool typeFromDisposition = false;    // the type also from the suggested name or a charset
    bool ownSettingKeys = false;         // a few settings kept under sections of its own
    bool systemNameAlone = false;        // the about box shows the system's name unlabelled
    bool systemProductText = false;      // the system named as "name 版本:x (内部版本:y)"
    bool proxyExampleHints = false;      // the options show example proxy values
    bool toldOfNewVersion = false;       // a newer version is said in a message, not only shown
    int longestVersionReply = 10;        // longer replies of the update server are ignored

    QString versionText() const;
    bool isChinese() const { return language == Language::Chinese; }

    static Build english();
    static Build chinese();
};

} // namespace harvly
