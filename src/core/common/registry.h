#pragma once

#include "build.h"

#include <QString>

#include <memory>
#include <optional>

class QSettings;

namespace harvly {

constexpr quint32 kHkeyClassesRoot = 0x80000000u;
constexpr quint32 kHkeyCurrentUser = 0x80000001u;
constexpr quint32 kHkeyLocalMachine = 0x80000002u;

// The numeric root of "HKEY_..." names; 0 for any other name.
quint32 GetRootKeyFromName(const QString &name);
// "HKEY_CURRENT_USER\Software\X" -> root HKEY_CURRENT_USER, path "Software\X". A bare root
// leaves an empty path; a path not starting with "HKEY_" or ending with "\" is left alone.
void SplitRegistryPath(QString &path, quint32 &root);

// Registry-style values ("HKEY_...\key", value name), kept in a file of the user's own:
// the program reads back what it wrote, and nothing else on the machine depends on them.
class RegistryStore final
{
public:
    RegistryStore();
    explicit RegistryStore(const QString &iniFile);
    ~RegistryStore();
    Q_DISABLE_COPY_MOVE(RegistryStore)

    // nullopt when the key or the value cannot be read.
    std::optional<quint32> ReadRegistryDword(const QString &path, const QString &valueName) const;
    std::optional<QString> ReadRegistryString(const QString &path, const QString &valueName) const;
    bool WriteRegistryDword(const QString &path, const QString &valueName, quint32 value);
    void DeleteRegistryValue(quint32 root, const QString &subKey, const QString &valueName);

private:
    QString location(const QString &path, const QString &valueName) const;

    std::unique_ptr<QSettings> m_store;
};

inline const QString kBrowserEmulationKey = QStringLiteral(
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\"
    "FEATURE_BROWSER_EMULATION");

// Records the browser emulation level asked for under the program's executable name.
// The embedded Chromium browser ignores it; the value is kept for the programs that read it.
void SetBrowserEmulation(RegistryStore &store, const QString &version, bool forceStandards,
                         const Build &build);

} // namespace harvly
