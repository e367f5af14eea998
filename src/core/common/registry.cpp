#include "registry.h"

#include <QSettings>
#include <QStandardPaths>

namespace harvly {

namespace {

const char *const kRootNames[] = {
    "HKEY_CLASSES_ROOT",     "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE", "HKEY_USERS",
    "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA",
};

QString rootName(quint32 root)
{
    const quint32 index = root - kHkeyClassesRoot;
    return index < std::size(kRootNames) ? QString::fromLatin1(kRootNames[index]) : QString();
}

} // namespace

quint32 GetRootKeyFromName(const QString &name)
{
    for (quint32 i = 0; i < std::size(kRootNames); ++i) {
        if (name == QLatin1String(kRootNames[i])) {
            return kHkeyClassesRoot + i;
        }
    }
    return 0;
}

void SplitRegistryPath(QString &path, quint32 &root)
{
    if (!path.startsWith(QLatin1String("HKEY_")) || path.endsWith(QLatin1Char('\\'))) {
        return;
    }
    const qsizetype sep = path.indexOf(QLatin1Char('\\'));
    if (sep < 0) {
        root = GetRootKeyFromName(path);
        path.clear();
        return;
    }
    root = GetRootKeyFromName(path.left(sep));
    path = path.mid(sep + 1);
}

RegistryStore::RegistryStore()
    : RegistryStore(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                    QStringLiteral("/Harvly/registry.ini"))
{
}

RegistryStore::RegistryStore(const QString &iniFile)
    : m_store(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
}

RegistryStore::~RegistryStore() = default;

QString RegistryStore::location(const QString &path, const QString &valueName) const
{
    QString key = path;
    quint32 root = 0;
    SplitRegistryPath(key, root);
    if (root == 0 || valueName.isEmpty()) {
        return {};
    }
    QString where = rootName(root);
    if (!key.isEmpty()) {
        where += QLatin1Char('/') + QString(key).replace(QLatin1Char('\\'), QLatin1Char('/'));
    }
    return where + QLatin1Char('/') + valueName;
}

std::optional<quint32> RegistryStore::ReadRegistryDword(const QString &path,
                                                        const QString &valueName) const
{
    const QString where = location(path, valueName);
    if (where.isEmpty() || !m_store->contains(where)) {
        return std::nullopt;
    }
    bool ok = false;
    const quint32 v = m_store->value(where).toString().toUInt(&ok);
    return ok ? std::optional<quint32>(v) : std::nullopt;
}

std::optional<QString> RegistryStore::ReadRegistryString(const QString &path,
                                                         const QString &valueName) const
{
    const QString where = location(path, valueName);
    if (where.isEmpty() || !m_store->contains(where)) {
        return std::nullopt;
    }
    return m_store->value(where).toString();
}

bool RegistryStore::WriteRegistryDword(const QString &path, const QString &valueName, quint32 value)
{
    const QString where = location(path, valueName);
    if (where.isEmpty()) {
        return false;
    }
    m_store->setValue(where, QString::number(value));
    m_store->sync();
    return m_store->status() == QSettings::NoError;
}

void RegistryStore::DeleteRegistryValue(quint32 root, const QString &subKey,
                                        const QString &valueName)
{
    const QString name = rootName(root);
    if (name.isEmpty()) {
        return;
    }
    const QString where = location(name + QLatin1Char('\\') + subKey, valueName);
    if (!where.isEmpty()) {
        m_store->remove(where);
        m_store->sync();
    }
}

void SetBrowserEmulation(RegistryStore &store, const QString &version, bool forceStandards,
                         const Build &build)
{
    const QString v = version.toUpper();
    quint32 value = 0;
    if (v == QLatin1String("IE10")) {
        value = forceStandards ? 10001 : 10000;
    } else if (v == QLatin1String("IE9")) {
        value = forceStandards ? 9999 : 9000;
    } else if (v == QLatin1String("IE8")) {
        value = forceStandards ? 8888 : 8000;
    } else if (v == QLatin1String("IE7")) {
        value = 7000;
    }
    const QString valueName = build.executableName + QStringLiteral(".exe");
    if (value == 0) {
        QString subKey = kBrowserEmulationKey;
        quint32 root = 0;
        SplitRegistryPath(subKey, root);
        store.DeleteRegistryValue(root, subKey, valueName);
        return;
    }
    if (!build.alwaysWriteBrowserEmulation &&
        store.ReadRegistryDword(kBrowserEmulationKey, valueName).value_or(0) == value) {
        return;
    }
    store.WriteRegistryDword(kBrowserEmulationKey, valueName, value);
}

} // namespace harvly
