#include "common/registry.h"

#include <QTemporaryDir>
#include <QTest>

using namespace harvly;

class tst_Registry : public QObject
{
    Q_OBJECT

private slots:
    void rootKeys_data();
    void rootKeys();
    void splitPath_data();
    void splitPath();
    void dwordRoundTrip();
    void browserEmulation_data();
    void browserEmulation();
    void unknownEmulationVersionRemovesTheValue();

private:
    QTemporaryDir m_dir;
};

void tst_Registry::rootKeys_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<quint32>("root");
    QTest::newRow("classes root") << "HKEY_CLASSES_ROOT" << 0x80000000u;
    QTest::newRow("current user") << "HKEY_CURRENT_USER" << 0x80000001u;
    QTest::newRow("local machine") << "HKEY_LOCAL_MACHINE" << 0x80000002u;
    QTest::newRow("dyn data") << "HKEY_DYN_DATA" << 0x80000006u;
    QTest::newRow("lower case is no root") << "hkey_users" << 0u;
    QTest::newRow("other text") << "HKCU" << 0u;
}

void tst_Registry::rootKeys()
{
    QFETCH(QString, name);
    QFETCH(quint32, root);
    QCOMPARE(GetRootKeyFromName(name), root);
}

void tst_Registry::splitPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("subKey");
    QTest::addColumn<quint32>("root");

    QTest::newRow("bare root") << "HKEY_CURRENT_USER"
                               << "" << kHkeyCurrentUser;
    QTest::newRow("trailing separator: untouched") << "HKEY_CURRENT_USER\\"
                                                   << "HKEY_CURRENT_USER\\" << 7u;
    QTest::newRow("root and key") << "HKEY_LOCAL_MACHINE\\SOFTWARE\\X"
                                  << "SOFTWARE\\X" << kHkeyLocalMachine;
    QTest::newRow("not a registry path: untouched") << "SOFTWARE\\X"
                                                    << "SOFTWARE\\X" << 7u;
}

void tst_Registry::splitPath()
{
    QFETCH(QString, path);
    QFETCH(QString, subKey);
    QFETCH(quint32, root);
    quint32 gotRoot = 7; // what the caller had before
    SplitRegistryPath(path, gotRoot);
    QCOMPARE(path, subKey);
    QCOMPARE(gotRoot, root);
}

void tst_Registry::dwordRoundTrip()
{
    RegistryStore store(m_dir.filePath("roundtrip.ini"));
    const QString key = "HKEY_CURRENT_USER\\Software\\Harvly\\Test";
    QCOMPARE(store.ReadRegistryDword(key, "v"), std::nullopt);
    QVERIFY(store.WriteRegistryDword(key, "v", 4000000000u));
    QCOMPARE(store.ReadRegistryDword(key, "v"), std::optional<quint32>(4000000000u));
    QVERIFY(!store.WriteRegistryDword("HKEY_NOWHERE\\x", "v", 1));
    QVERIFY(!store.WriteRegistryDword("Software\\x", "v", 1));
    store.DeleteRegistryValue(kHkeyCurrentUser, "Software\\Harvly\\Test", "v");
    QCOMPARE(store.ReadRegistryDword(key, "v"), std::nullopt);
}

void tst_Registry::browserEmulation_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("force");
    QTest::addColumn<quint32>("value");
    QTest::newRow("IE10 standards") << "IE10" << true << 10001u;
    QTest::newRow("ie10 lower case") << "ie10" << false << 10000u;
    QTest::newRow("IE9 standards") << "IE9" << true << 9999u;
    QTest::newRow("IE8") << "IE8" << false << 8000u;
    QTest::newRow("IE7 either way") << "IE7" << true << 7000u;
}

void tst_Registry::browserEmulation()
{
    QFETCH(QString, version);
    QFETCH(bool, force);
    QFETCH(quint32, value);
    for (const Build &build : {Build::english(), Build::chinese()}) {
        RegistryStore store(m_dir.filePath(
            QString("emu-%1-%2.ini").arg(QTest::currentDataTag()).arg(build.executableName)));
        SetBrowserEmulation(store, version, force, build);
        QCOMPARE(store.ReadRegistryDword(kBrowserEmulationKey, build.executableName + ".exe"),
                 std::optional<quint32>(value));
    }
}

void tst_Registry::unknownEmulationVersionRemovesTheValue()
{
    RegistryStore store(m_dir.filePath("remove.ini"));
    const Build build = Build::english();
    SetBrowserEmulation(store, "IE10", true, build);
    QVERIFY(store.ReadRegistryDword(kBrowserEmulationKey, "Harvlyen.exe").has_value());
    SetBrowserEmulation(store, "IE11", true, build);
    QCOMPARE(store.ReadRegistryDword(kBrowserEmulationKey, "Harvlyen.exe"), std::nullopt);
}

QTEST_GUILESS_MAIN(tst_Registry)
#include "tst_registry.moc"
