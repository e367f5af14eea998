#include "common/folderpicker.h"
#include "common/programfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace harvly;

class tst_ProgramFiles : public QObject
{
    Q_OBJECT

private slots:
    void soundsAreWrittenOnceAndDiffer();
    void userSoundIsKept();
    void unknownSoundGivesNothing();
    void dataFolderFallsBackWhenProgramFolderIsReadOnly();
    void browseStartFolder_data();
    void browseStartFolder();
    void browseResultEndsWithSeparator();
};

void tst_ProgramFiles::soundsAreWrittenOnceAndDiffer()
{
    QTemporaryDir dir;
    QList<QByteArray> bodies;
    for (const int id : {101, 102, 103}) {
        const QString path = SoundFile(id, dir.path());
        QCOMPARE(path, dir.filePath(QString("%1.wav").arg(id)));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray data = f.readAll();
        QVERIFY(data.startsWith("RIFF"));
        QCOMPARE(data.mid(8, 4), QByteArray("WAVE"));
        QVERIFY(data.size() > 4000);
        QVERIFY(!bodies.contains(data));
        bodies << data;
    }
}

void tst_ProgramFiles::userSoundIsKept()
{
    QTemporaryDir dir;
    {
        QFile f(dir.filePath("102.wav"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("mine");
    }
    QCOMPARE(SoundFile(102, dir.path()), dir.filePath("102.wav"));
    QFile f(dir.filePath("102.wav"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("mine"));
}

void tst_ProgramFiles::unknownSoundGivesNothing()
{
    QTemporaryDir dir;
    QCOMPARE(SoundFile(104, dir.path()), QString());
    QVERIFY(!QFile::exists(dir.filePath("104.wav")));
}

void tst_ProgramFiles::dataFolderFallsBackWhenProgramFolderIsReadOnly()
{
    QTemporaryDir dir;
    QCOMPARE(ChooseProgramDataFolder(dir.path(), dir.filePath("user")), dir.path());
    const QString missing = dir.filePath("no-such-program-folder");
    QCOMPARE(ChooseProgramDataFolder(missing, dir.filePath("user")), dir.filePath("user"));
    QVERIFY(QFileInfo(dir.filePath("user")).isDir());
}

void tst_ProgramFiles::browseStartFolder_data()
{
    QTest::addColumn<QString>("start"); // "@" stands for the test folder
    QTest::addColumn<QString>("expected");
    QTest::newRow("blank: the root") << "  "
                                     << "/";
    QTest::newRow("folder with separator: its parent") << "@/a/b/"
                                                       << "@/a/";
    QTest::newRow("folder without separator: its parent") << "@/a/b"
                                                          << "@/a/";
    QTest::newRow("missing parent: the root") << "@/none/b"
                                              << "/";
}

void tst_ProgramFiles::browseStartFolder()
{
    QFETCH(QString, start);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("a/b");
    start.replace("@", dir.path());
    expected.replace("@", dir.path());
    QCOMPARE(BrowseStartFolder(start), expected);
}

void tst_ProgramFiles::browseResultEndsWithSeparator()
{
    QCOMPARE(BrowseResult("/home/u/docs", "/x/"), QString("/home/u/docs/"));
    QCOMPARE(BrowseResult("", "/x/"), QString("/x/"));
    QCOMPARE(BrowseResult("", "/x"), QString("/x/"));
    QCOMPARE(BrowseResult("/", "/x"), QString("/"));
}

QTEST_GUILESS_MAIN(tst_ProgramFiles)
#include "tst_programfiles.moc"
