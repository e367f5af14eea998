#include "common/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace harvly;

class tst_Files : public QObject
{
    Q_OBJECT

private slots:
    void uniqueFileName_data();
    void uniqueFileName();
    void uniqueFileNameCountsFoldersAsTaken();
    void uniqueFileNameCutsLongBases();
    void createFolderPath_data();
    void createFolderPath();
    void existsTellsFilesFromFolders();

private:
    static void touch(const QString &path)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
};

void tst_Files::uniqueFileName_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("expected");

    QTest::newRow("free name is kept") << QStringList{} << "a.pdf"
                                       << "a.pdf";
    QTest::newRow("taken name gets the first counter") << QStringList{"a.pdf"} << "a.pdf"
                                                       << "a[0001].pdf";
    QTest::newRow("counter skips taken numbers") << QStringList{"a.pdf", "a[0001].pdf"} << "a.pdf"
                                                 << "a[0002].pdf";
    QTest::newRow("an existing counted name starts over from the plain name")
        << QStringList{"a[0005].pdf"} << "a[0005].pdf"
        << "a.pdf";
    QTest::newRow("counted name with the plain one taken")
        << QStringList{"a[0005].pdf", "a.pdf"} << "a[0005].pdf"
        << "a[0001].pdf";
    QTest::newRow("no extension") << QStringList{"notes"} << "notes"
                                  << "notes[0001]";
    QTest::newRow("non-numeric brackets stay") << QStringList{"a[x].pdf"} << "a[x].pdf"
                                               << "a[x][0001].pdf";
}

void tst_Files::uniqueFileName()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, asked);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    for (const QString &name : existing) {
        touch(dir.filePath(name));
    }
    QCOMPARE(GetUniqueFileName(dir.filePath(asked)), dir.filePath(expected));
}

void tst_Files::uniqueFileNameCountsFoldersAsTaken()
{
    QTemporaryDir dir;
    touch(dir.filePath("a.pdf"));
    QDir(dir.path()).mkdir("a[0001].pdf");
    QCOMPARE(GetUniqueFileName(dir.filePath("a.pdf")), dir.filePath("a[0002].pdf"));
}

void tst_Files::uniqueFileNameCutsLongBases()
{
    QTemporaryDir dir;
    const QString base(120, 'b');
    touch(dir.filePath(base + ".pdf"));
    QCOMPARE(GetUniqueFileName(dir.filePath(base + ".pdf")),
             dir.filePath(QString(100, 'b') + ".pdf"));
}

void tst_Files::createFolderPath_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("expected"); // relative to the test folder; "-" means ""
    QTest::addColumn<bool>("complains");

    QTest::newRow("trailing separator dropped") << "new/"
                                                << "new" << false;
    QTest::newRow("nested levels created") << "a/b/c"
                                           << "a/b/c" << false;
    QTest::newRow("names cleaned") << "a?b/c*d"
                                   << "ab/cd" << false;
    QTest::newRow("doubled separator ends the walk") << "x//y"
                                                     << "x" << false;
    QTest::newRow("element that cleans to nothing stops with a message") << "p/?*/q"
                                                                         << "p" << true;
    QTest::newRow("dots alone are no folder name") << "p/../q"
                                                   << "p" << true;
}

void tst_Files::createFolderPath()
{
    QFETCH(QString, relative);
    QFETCH(QString, expected);
    QFETCH(bool, complains);
    QTemporaryDir dir;
    QString message;
    const QString got = CreateFolderPath(dir.path() + "/" + relative, Build::english(), &message);
    QCOMPARE(got, dir.path() + "/" + expected);
    QVERIFY(QFileInfo(got).isDir());
    QCOMPARE(!message.isEmpty(), complains);
    if (complains) {
        QCOMPARE(message, QString("The folder name is err,Can not Credte New Folder!"));
    }
}

void tst_Files::existsTellsFilesFromFolders()
{
    QTemporaryDir dir;
    touch(dir.filePath("f"));
    QVERIFY(FileExists(dir.filePath("f")));
    QVERIFY(!FileExists(dir.path()));
    QVERIFY(FolderExists(dir.path()));
    QVERIFY(!FolderExists(dir.filePath("f")));
    QVERIFY(!FileExists(""));
    QVERIFY(!FolderExists(dir.filePath("missing")));
    QCOMPARE(CreateFolderPath("/", Build::english()), QString("/"));
}

QTEST_GUILESS_MAIN(tst_Files)
#include "tst_files.moc"
