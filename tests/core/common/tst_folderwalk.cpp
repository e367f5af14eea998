#include "common/folderwalk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace harvly;

class tst_FolderWalk : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void relativeFolderListsNothing();
    void filesOfOneFolder();
    void recursiveWalkGoesFolderByFolder();
    void subfolders();
    void linkLoopDoesNotHang();

private:
    void touch(const QString &rel)
    {
        QFile f(m_dir->filePath(rel));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_FolderWalk::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QDir root(m_dir->path());
    root.mkpath("b/inner");
    root.mkpath("a");
    touch("z.pdf");
    touch(".hidden");
    touch("pagefile.sys");
    touch("a/1.pdf");
    touch("b/2.pdf");
    touch("b/inner/3.pdf");
}

void tst_FolderWalk::relativeFolderListsNothing()
{
    QStringList list;
    ListFilesInFolder("relative/folder", list, true);
    ListSubfolders(".", list, true);
    QVERIFY(list.isEmpty());
}

void tst_FolderWalk::filesOfOneFolder()
{
    QStringList list{"kept"};
    ListFilesInFolder(m_dir->path(), list, false);
    const QString base = m_dir->path() + "/";
    QCOMPARE(list, (QStringList{"kept", base + ".hidden", base + "z.pdf"}));
}

void tst_FolderWalk::recursiveWalkGoesFolderByFolder()
{
    QStringList list;
    ListFilesInFolder(m_dir->path() + "/", list, true);
    const QString base = m_dir->path() + "/";
    QCOMPARE(list, (QStringList{base + ".hidden", base + "z.pdf", base + "a/1.pdf",
                                base + "b/2.pdf", base + "b/inner/3.pdf"}));
}

void tst_FolderWalk::subfolders()
{
    QStringList list;
    ListSubfolders(m_dir->path(), list, true);
    const QString base = m_dir->path() + "/";
    QCOMPARE(list, (QStringList{base + "a", base + "b", base + "b/inner"}));
}

void tst_FolderWalk::linkLoopDoesNotHang()
{
    QVERIFY(QFile::link(m_dir->path(), m_dir->filePath("b/inner/loop")));
    QStringList list;
    ListSubfolders(m_dir->path(), list, true);
    QVERIFY(list.contains(m_dir->path() + "/b/inner/loop"));
    QCOMPARE(list.size(), 4);
}

QTEST_GUILESS_MAIN(tst_FolderWalk)
#include "tst_folderwalk.moc"
