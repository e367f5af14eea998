#include "common/files.h"
#include "download/transferfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace harvly;

// The last step of every download: a file that took the name while the transfer ran is
// never lost, and two transfers never pick one name.
class tst_TransferFile : public QObject
{
    Q_OBJECT

private slots:
    void fileThatAppearedMeanwhile_data();
    void fileThatAppearedMeanwhile();
    void twoTransfersNeverShareAName_data();
    void twoTransfersNeverShareAName();
    void discardLeavesNothing();

private:
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QStringList files(const QString &folder)
    {
        return QDir(folder).entryList(
            QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
};

void tst_TransferFile::fileThatAppearedMeanwhile_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QByteArray>("atTheName");
    const int done = int(TransferFile::Result::Done);
    QTest::newRow("rename: the newcomer stays, the download takes the next name")
        << int(DuplicateMode::Rename) << done << QStringList{"Paper.pdf", "Paper[001].pdf"}
        << QByteArray("newcomer");
    QTest::newRow("skip: the newcomer stays, the download is dropped")
        << int(DuplicateMode::Skip) << int(TransferFile::Result::Skipped)
        << QStringList{"Paper.pdf"} << QByteArray("newcomer");
    QTest::newRow("cover: the download replaces it")
        << int(DuplicateMode::Cover) << done << QStringList{"Paper.pdf"} << QByteArray("download");
}

void tst_TransferFile::fileThatAppearedMeanwhile()
{
    QFETCH(int, mode);
    QFETCH(int, result);
    QFETCH(QStringList, after);
    QFETCH(QByteArray, atTheName);
    QTemporaryDir dir;
    TransferFile file(dir.path(), "Paper", "pdf", DuplicateMode(mode));
    QCOMPARE(file.open(), TransferFile::Result::Done);
    QCOMPARE(file.target(), dir.filePath("Paper.pdf"));
    QFile temporary(QDir(dir.path())
                        .entryList({".harvly-*"}, QDir::Hidden | QDir::Files)
                        .value(0)
                        .prepend(dir.path() + "/"));
    QVERIFY(temporary.open(QIODevice::Append));
    temporary.write("download");
    temporary.close();
    write(dir.filePath("Paper.pdf"), "newcomer"); // another program, a moment before the end
    QCOMPARE(int(file.commit()), result);
    QCOMPARE(files(dir.path()), after);
    QCOMPARE(read(dir.filePath("Paper.pdf")), atTheName);
    if (after.size() == 2) {
        QCOMPARE(file.target(), dir.filePath("Paper[001].pdf"));
        QCOMPARE(file.name(), QString("Paper[001]"));
        QCOMPARE(read(file.target()), QByteArray("download"));
    }
    QVERIFY(!IsPathReserved(dir.filePath("Paper.pdf")));
}

void tst_TransferFile::twoTransfersNeverShareAName_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("second");
    QTest::addColumn<QString>("secondName");
    QTest::newRow("rename: the second takes a counter")
        << int(DuplicateMode::Rename) << int(TransferFile::Result::Done) << "Paper[001].pdf";
    QTest::newRow("cover: the second takes a counter too")
        << int(DuplicateMode::Cover) << int(TransferFile::Result::Done) << "Paper[001].pdf";
    QTest::newRow("skip: the second is skipped")
        << int(DuplicateMode::Skip) << int(TransferFile::Result::Skipped) << "Paper.pdf";
}

void tst_TransferFile::twoTransfersNeverShareAName()
{
    QFETCH(int, mode);
    QFETCH(int, second);
    QFETCH(QString, secondName);
    QTemporaryDir dir;
    TransferFile a(dir.path(), "Paper", "pdf", DuplicateMode(mode));
    TransferFile b(dir.path(), "Paper", "pdf", DuplicateMode(mode));
    QCOMPARE(a.open(), TransferFile::Result::Done);
    QCOMPARE(int(b.open()), second);
    QCOMPARE(b.target(), dir.filePath(secondName));
    QCOMPARE(b.commit() == TransferFile::Result::Done, second == int(TransferFile::Result::Done));
    QCOMPARE(a.commit(), TransferFile::Result::Done);
    QCOMPARE(a.target(), dir.filePath("Paper.pdf"));
}

void tst_TransferFile::discardLeavesNothing()
{
    QTemporaryDir dir;
    write(dir.filePath("Paper.pdf"), "old");
    {
        TransferFile file(dir.path(), "Paper", "pdf", DuplicateMode::Cover);
        QCOMPARE(file.open(), TransferFile::Result::Done);
        QCOMPARE(files(dir.path()).size(), 2);
    } // dropped without a commit, as when the program stops a transfer
    QCOMPARE(files(dir.path()), QStringList{"Paper.pdf"});
    QCOMPARE(read(dir.filePath("Paper.pdf")), QByteArray("old"));
    QVERIFY(!IsPathReserved(dir.filePath("Paper.pdf")));
}

QTEST_GUILESS_MAIN(tst_TransferFile)
#include "tst_transferfile.moc"
