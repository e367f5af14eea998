#include "common/combolist.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace harvly;

class tst_ComboList : public QObject
{
    Q_OBJECT

private slots:
    void load_data();
    void load();
    void missingFileAddsNothing();
    void saveWritesCrLfLines();
    void saveAndLoadRoundTrip();

private:
    QString write(const QByteArray &content)
    {
        const QString path = m_dir.filePath(QString("list-%1.dat").arg(++m_count));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(content);
        }
        return path;
    }
    QTemporaryDir m_dir;
    int m_count = 0;
};

void tst_ComboList::load_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("after");

    QTest::newRow("case-insensitive duplicates: first wins")
        << QStringList{} << QByteArray("D:\\A\r\nd:\\a\r\n") << QStringList{"D:\\A"};
    QTest::newRow("trimmed, empty lines skipped")
        << QStringList{} << QByteArray("  /a  \r\n\r\n   \r\n/b\n") << QStringList{"/a", "/b"};
    QTest::newRow("items already in the list are not added again")
        << QStringList{"/Home/X"} << QByteArray("/home/x\n/y\n") << QStringList{"/Home/X", "/y"};
    QTest::newRow("UTF-8 names") << QStringList{} << QByteArray("/数据/论文\n")
                                 << QStringList{"/数据/论文"};
    QByteArray many;
    QStringList first100;
    for (int i = 1; i <= 150; ++i) {
        many += "/f" + QByteArray::number(i) + "\r\n";
        if (i <= 100) {
            first100 << QString("/f%1").arg(i);
        }
    }
    QTest::newRow("at most 100 lines are read") << QStringList{} << many << first100;
    QByteArray dupes;
    for (int i = 0; i < 100; ++i) {
        dupes += "/same\n";
    }
    dupes += "/late\n";
    QTest::newRow("duplicates count towards the 100")
        << QStringList{} << dupes << QStringList{"/same"};
}

void tst_ComboList::load()
{
    QFETCH(QStringList, before);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, after);
    QStringList items = before;
    LoadComboItemsFromFile(items, write(file));
    QCOMPARE(items, after);
}

void tst_ComboList::missingFileAddsNothing()
{
    QStringList items{"x"};
    LoadComboItemsFromFile(items, m_dir.filePath("nothing-here.dat"));
    QCOMPARE(items, QStringList{"x"});
}

void tst_ComboList::saveWritesCrLfLines()
{
    const QString path = m_dir.filePath("save.dat");
    QVERIFY(SaveComboItemsToFile({"/a", "/论文"}, path));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("/a\r\n/论文\r\n"));
    f.close();
    QVERIFY(SaveComboItemsToFile({}, path));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("\r\n"));
}

void tst_ComboList::saveAndLoadRoundTrip()
{
    const QString path = m_dir.filePath("round.dat");
    const QStringList items{"/one", "/two", "/three"};
    QVERIFY(SaveComboItemsToFile(items, path));
    QStringList back;
    LoadComboItemsFromFile(back, path);
    QCOMPARE(back, items);
    QVERIFY(!SaveComboItemsToFile(items, m_dir.filePath("no/such/folder/x.dat")));
}

QTEST_GUILESS_MAIN(tst_ComboList)
#include "tst_combolist.moc"
