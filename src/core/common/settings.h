#pragma once

#include "build.h"
#include "duplicatemode.h"

#include <QSettings>
#include <QString>
#include <QVariant>

#include <chrono>
#include <memory>
#include <type_traits>

namespace harvly {

// Every value the program keeps between runs. The section, key and default of each one are
// declared once, in settings.cpp; the two builds differ in a few of them.
enum class Setting {
    SavePathOfDownloadFile,
    PromptedSavePathWhenExtractInfo,
    LastOpenedDirectory,
    DownloadMode,
    ProxyEffective,
    ProxyURL,
    ProxyPort,
    Thread,
    DuplicateFileNameSetting,
    SearchTimeInterval,
    SpeedLimitDelay,
    AnalysisOfDelay,
    FormResolution,
    FormTop,
    FormLeft,
    FormWidth,
    FormHeight,
    CopyMoveDestinationFolder,
    CopyMoveOpIndex,
    MaxFileSizeMegabytes, // the Chinese build only
    SiteAddress,
    CheckLatestVersion,  // 1: the latest-version check runs at start
    UpdateServer,        // where the latest-version check asks; "": no check
    CheckPdfEnd,         // 1: a PDF without its end marker fails its row
    Retries,             // how often a transfer cut off or refused by a server error is tried again
    DoiResolver,         // where the bulk entry looks DOIs up
    ExportAbsolutePaths, // 1: citation exports link files by absolute paths only
    CheckDocuments,      // 1: each PDF is opened: damaged ones fail, their titles are looked for
};

struct SettingEntry {
    QString section;
    QString key;
    QVariant defaultValue; // as stored
};

// A setting and the type its value is read and written as.
template <typename T> struct SettingKey {
    Setting id;
};

// Each setting with its type, declared once; sections, keys and defaults are in settings.cpp.
namespace Keys {
inline constexpr SettingKey<QString> SavePathOfDownloadFile{Setting::SavePathOfDownloadFile};
inline constexpr SettingKey<bool> PromptedSavePathWhenExtractInfo{
    Setting::PromptedSavePathWhenExtractInfo};
inline constexpr SettingKey<QString> LastOpenedDirectory{Setting::LastOpenedDirectory};
inline constexpr SettingKey<int> DownloadMode{Setting::DownloadMode};
inline constexpr SettingKey<bool> ProxyEffective{Setting::ProxyEffective};
inline constexpr SettingKey<QString> ProxyURL{Setting::ProxyURL};
inline constexpr SettingKey<QString> ProxyPort{Setting::ProxyPort};
inline constexpr SettingKey<int> Thread{Setting::Thread};
inline constexpr SettingKey<DuplicateMode> DuplicateFileNameSetting{
    Setting::DuplicateFileNameSetting};
inline constexpr SettingKey<std::chrono::seconds> SearchTimeInterval{Setting::SearchTimeInterval};
inline constexpr SettingKey<std::chrono::seconds> SpeedLimitDelay{Setting::SpeedLimitDelay};
inline constexpr SettingKey<std::chrono::seconds> AnalysisOfDelay{Setting::AnalysisOfDelay};
inline constexpr SettingKey<QString> FormResolution{Setting::FormResolution};
inline constexpr SettingKey<int> FormTop{Setting::FormTop};
inline constexpr SettingKey<int> FormLeft{Setting::FormLeft};
inline constexpr SettingKey<int> FormWidth{Setting::FormWidth};
inline constexpr SettingKey<int> FormHeight{Setting::FormHeight};
inline constexpr SettingKey<QString> CopyMoveDestinationFolder{Setting::CopyMoveDestinationFolder};
inline constexpr SettingKey<int> CopyMoveOpIndex{Setting::CopyMoveOpIndex};
inline constexpr SettingKey<double> MaxFileSizeMegabytes{Setting::MaxFileSizeMegabytes};
inline constexpr SettingKey<QString> SiteAddress{Setting::SiteAddress};
inline constexpr SettingKey<bool> CheckLatestVersion{Setting::CheckLatestVersion};
inline constexpr SettingKey<QString> UpdateServer{Setting::UpdateServer};
inline constexpr SettingKey<bool> CheckPdfEnd{Setting::CheckPdfEnd};
inline constexpr SettingKey<int> Retries{Setting::Retries};
inline constexpr SettingKey<QString> DoiResolver{Setting::DoiResolver};
inline constexpr SettingKey<bool> ExportAbsolutePaths{Setting::ExportAbsolutePaths};
inline constexpr SettingKey<bool> CheckDocuments{Setting::CheckDocuments};
} // namespace Keys

// Named text values per application title, section and key. Reads fall back to the
// entry's default when the value is missing or does not convert; nothing here ever fails
// visibly.
class Settings final
{
public:
    // The per-user store of this build (the registry on Windows, an INI file on Linux).
    explicit Settings(const Build &build);
    // A store in one INI file, for tests and tools.
    Settings(const Build &build, const QString &iniFile);
    ~Settings();
    Q_DISABLE_COPY_MOVE(Settings)

    // A setting this build does not keep has an empty key; reads give its default, writes do
    // nothing.
    SettingEntry entry(Setting id) const;
    bool has(Setting id) const { return !entry(id).key.isEmpty(); }

    // A value as its type reads it; a missing value, or one that does not convert, gives the
    // default. section: the section to use instead of the declared one.
    template <typename T> T get(SettingKey<T> key, const QString &section = {}) const;
    template <typename T>
    void set(SettingKey<T> key, const std::type_identity_t<T> &value, const QString &section = {});
    // The value as it is stored (the default when missing).
    QString storedText(Setting id, const QString &section = {}) const;

    void sync();
    const Build &build() const { return m_build; }

private:
    QString path(const SettingEntry &e, const QString &section) const;
    QVariant raw(Setting id, const QString &section) const;
    void write(Setting id, const QString &value, const QString &section);

    Build m_build;
    std::unique_ptr<QSettings> m_store;
};

template <> QString Settings::get(SettingKey<QString> key, const QString &section) const;
template <> int Settings::get(SettingKey<int> key, const QString &section) const;
// On/off settings are stored as "1" and "0"; only 1 is on.
template <> bool Settings::get(SettingKey<bool> key, const QString &section) const;
template <> double Settings::get(SettingKey<double> key, const QString &section) const;
// Delays are stored as a number of seconds.
template <>
std::chrono::seconds Settings::get(SettingKey<std::chrono::seconds> key,
                                   const QString &section) const;
template <>
DuplicateMode Settings::get(SettingKey<DuplicateMode> key, const QString &section) const;
template <>
void Settings::set(SettingKey<QString> key, const QString &value, const QString &section);
template <> void Settings::set(SettingKey<int> key, const int &value, const QString &section);
template <> void Settings::set(SettingKey<bool> key, const bool &value, const QString &section);
template <> void Settings::set(SettingKey<double> key, const double &value, const QString &section);
template <>
void Settings::set(SettingKey<std::chrono::seconds> key, const std::chrono::seconds &value,
                   const QString &section);
template <>
void Settings::set(SettingKey<DuplicateMode> key, const DuplicateMode &value,
                   const QString &section);

// The folder downloads go to until the user picks one.
QString DefaultSaveFolder();

} // namespace harvly
