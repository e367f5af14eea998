#pragma once

#include "build.h"

#include <QSettings>
#include <QString>
#include <QVariant>

#include <memory>

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
};

struct SettingEntry {
    QString section;
    QString key;
    QVariant defaultValue; // QString, int or double: also the type the value is read as
};

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

    // A setting this build does not keep has an empty key; reads give its default, writes do nothing.
    SettingEntry entry(Setting id) const;
    bool has(Setting id) const { return !entry(id).key.isEmpty(); }

    QString text(Setting id, const QString &section = {}) const;
    int integer(Setting id, const QString &section = {}) const;
    double number(Setting id, const QString &section = {}) const;

    void setText(Setting id, const QString &value, const QString &section = {});
    void setInteger(Setting id, int value, const QString &section = {});
    void setNumber(Setting id, double value, const QString &section = {});

    void sync();
    const Build &build() const { return m_build; }

private:
    QString path(const SettingEntry &e, const QString &section) const;
    QVariant raw(Setting id, const QString &section) const;
    void write(Setting id, const QString &value, const QString &section);

    Build m_build;
    std::unique_ptr<QSettings> m_store;
};

// The folder downloads go to until the user picks one.
QString DefaultSaveFolder();

} // namespace harvly
