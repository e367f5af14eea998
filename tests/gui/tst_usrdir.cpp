#include "common/program.h"
#include "common/settings.h"
#include "folders/foldertree.h"
#include "folders/usrdir.h"

#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace harvly;

// The folder tree over folders made for the test.
class tst_usrDir : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void properCase_data();
    void properCase();
    void treeOfTheMachine();
    void foldersLoadWhenOpenedSortedAndProperCased();
    void removableVolumesWaitForTheUser();
    void keyboardChoosesAndOpensFolders();
    void missingLastFolderStartsAtTheProgramFolder();
    void openSpecifiedDirectory();
    void f5Reloads();
    void diskSpace();
    void tenThousandSubfoldersKeepTheWindowAlive();

private:
    usrDir::Places places() const
    {
        const QString root = m_dir.filePath("vol");
        return {m_dir.filePath("desk"), m_dir.filePath("docs"), [root] {
                    return QList<Volume>{{root, "", Volume::Kind::Fixed},
                                         {root + "/stick", "KINGSTON", Volume::Kind::Removable}};
                }};
    }
    void mkdirs(const QStringList &paths)
    {
        for (const QString &p : paths) {
            QDir().mkpath(m_dir.filePath(p));
        }
    }
    QStringList childTexts(QTreeWidgetItem *node) const
    {
        QStringList out;
        for (int i = 0; i < node->childCount(); ++i) {
            out << node->child(i)->text(0);
        }
        return out;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Program> m_program;
};

void tst_usrDir::init()
{
    QDir(m_dir.path()).removeRecursively();
    QDir().mkpath(m_dir.path());
    const Build build = Build::english();
    m_program = std::make_unique<Program>(
        build, std::make_unique<Settings>(build, m_dir.filePath("settings.ini")));
    mkdirs({"desk/Projects/alpha", "docs/papers", "vol/zeta", "vol/Alpha beta/inner",
            "vol/mIxEd cAsE", "vol/.hidden", "vol/stick/files"});
}

void tst_usrDir::cleanup()
{
    m_program.reset();
}

void tst_usrDir::properCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("proper");
    QTest::newRow("words") << "my DOCUMENTS folder"
                           << "My Documents Folder";
    QTest::newRow("a dot first") << ".hidden"
                                 << ".hidden";
    QTest::newRow("digits") << "2024 reports"
                            << "2024 Reports";
}

void tst_usrDir::properCase()
{
    QFETCH(QString, text);
    QFETCH(QString, proper);
    QCOMPARE(ProperCase(text), proper);
}

void tst_usrDir::treeOfTheMachine()
{
    usrDir tree(*m_program, places());
    QTRY_VERIFY(!tree.loading());
    QTreeWidgetItem *desktop = tree.node("root61_Desktop");
    QVERIFY(desktop);
    QCOMPARE(desktop->text(0), QString("Desktop"));
    QCOMPARE(tree.node("root62_MyDoc")->parent(), desktop);
    QCOMPARE(tree.node("root63_mycomputer")->parent(), desktop);
    QTreeWidgetItem *volume = tree.node("rootdyf" + m_dir.filePath("vol"));
    QCOMPARE(volume->text(0), "Local Disk (" + m_dir.filePath("vol") + ")");
    QCOMPARE(childTexts(tree.node("root62_MyDoc")), QStringList{"Papers"});
    QVERIFY(childTexts(desktop).contains("Projects"));
}

void tst_usrDir::foldersLoadWhenOpenedSortedAndProperCased()
{
    usrDir tree(*m_program, places());
    QTRY_VERIFY(!tree.loading());
    QTreeWidgetItem *volume = tree.node("rootdyf" + m_dir.filePath("vol"));
    QCOMPARE(childTexts(volume),
             (QStringList{".hidden", "Alpha Beta", "Mixed Case", "Stick", "Zeta"}));
    QTreeWidgetItem *alpha = tree.node(m_dir.filePath("vol/Alpha beta"));
    QCOMPARE(alpha->childCount(), 0); // not read before it is opened
    QCOMPARE(alpha->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    QCOMPARE(tree.node(m_dir.filePath("vol/zeta"))->childIndicatorPolicy(),
             QTreeWidgetItem::DontShowIndicatorWhenChildless);
    QSignalSpy clicked(&tree, &usrDir::NodeClick);
    emit tree.tree()->itemClicked(alpha, 0);
    QTRY_COMPARE(clicked.size(), 1);
    QCOMPARE(childTexts(alpha), QStringList{"Inner"});
    QCOMPARE(tree.DirName(), m_dir.filePath("vol/Alpha beta") + "/");
    QCOMPARE(m_program->settings().get(Keys::LastOpenedDirectory),
             m_dir.filePath("vol/Alpha beta") + "/");
}

void tst_usrDir::keyboardChoosesAndOpensFolders()
{
    usrDir tree(*m_program, places());
    tree.show();
    QTRY_VERIFY(!tree.loading());
    QTreeWidgetItem *hidden = tree.node(m_dir.filePath("vol/.hidden"));
    QTreeWidgetItem *alpha = tree.node(m_dir.filePath("vol/Alpha beta"));
    tree.tree()->setCurrentItem(hidden);
    tree.tree()->setFocus();
    QSignalSpy clicked(&tree, &usrDir::NodeClick);
    QTest::keyClick(tree.tree(), Qt::Key_Down); // to "Alpha Beta"
    QTRY_COMPARE(clicked.size(), 1);
    QCOMPARE(tree.tree()->currentItem(), alpha);
    QCOMPARE(tree.DirName(), m_dir.filePath("vol/Alpha beta") + "/");
    QCOMPARE(m_program->settings().get(Keys::LastOpenedDirectory),
             m_dir.filePath("vol/Alpha beta") + "/");
    QTest::keyClick(tree.tree(), Qt::Key_Right); // opened by the keyboard: read
    QVERIFY(alpha->isExpanded());
    QTRY_COMPARE(childTexts(alpha), QStringList{"Inner"});
    QTest::keyClick(tree.tree(), Qt::Key_Return); // Enter chooses the current folder again
    QTRY_COMPARE(clicked.size(), 2);
}

void tst_usrDir::removableVolumesWaitForTheUser()
{
    usrDir tree(*m_program, places());
    QTRY_VERIFY(!tree.loading());
    QTreeWidgetItem *stick = tree.node("rootdyf" + m_dir.filePath("vol/stick"));
    QCOMPARE(stick->text(0), "Kingston (" + m_dir.filePath("vol/stick") + ")");
    QCOMPARE(stick->childCount(), 0);
    QSignalSpy clicked(&tree, &usrDir::NodeClick);
    emit tree.tree()->itemClicked(stick, 0); // opened by the user: read now
    QTRY_COMPARE(clicked.size(), 1);
    QCOMPARE(childTexts(stick), QStringList{"Files"});
    QCOMPARE(tree.DirName(), m_dir.filePath("vol/stick") + "/");
    emit tree.tree()->itemClicked(stick, 0); // a loaded volume: the path, no event
    QTest::qWait(50);
    QCOMPARE(clicked.size(), 1);
}

void tst_usrDir::missingLastFolderStartsAtTheProgramFolder()
{
    m_program->settings().set(Keys::LastOpenedDirectory, m_dir.filePath("gone"));
    usrDir tree(*m_program, places());
    QCOMPARE(tree.DirName(), QCoreApplication::applicationDirPath() + "/");
    m_program->settings().set(Keys::LastOpenedDirectory, m_dir.filePath("docs"));
    usrDir again(*m_program, places());
    QCOMPARE(again.DirName(), m_dir.filePath("docs") + "/");
}

void tst_usrDir::openSpecifiedDirectory()
{
    usrDir tree(*m_program, places());
    tree.OpenSpecifiedDirectory(m_dir.filePath("vol/Alpha beta/inner"));
    QTreeWidgetItem *inner = tree.node(m_dir.filePath("vol/Alpha beta/inner"));
    QVERIFY(inner);
    QCOMPARE(tree.tree()->currentItem(), inner);
    QVERIFY(inner->parent()->isExpanded());
    QCOMPARE(tree.DirName(), m_dir.filePath("vol/Alpha beta/inner") + "/");
}

void tst_usrDir::f5Reloads()
{
    usrDir tree(*m_program, places());
    QTRY_VERIFY(!tree.loading());
    mkdirs({"vol/new one"});
    QTest::keyClick(tree.tree(), Qt::Key_F5);
    QTRY_VERIFY(!tree.loading());
    QVERIFY(childTexts(tree.node("rootdyf" + m_dir.filePath("vol"))).contains("New One"));
}

void tst_usrDir::diskSpace()
{
    usrDir tree(*m_program, places());
    QStringList told;
    tree.tell = [&told](const QString &t) { told << t; };
    tree.setDirName(m_dir.path() + "/");
    QVERIFY(usrDir::DiskSpaceInBytes(m_dir.path()) > 0);
    QVERIFY(tree.DriveSpace().endsWith(" bytes"));
    QVERIFY(told.isEmpty());
    tree.setDirName(m_dir.filePath("no/such/place/"));
    QCOMPARE(tree.DriveSpace(), QString());
    QCOMPARE(told, QStringList{"Function failed!"});
}

void tst_usrDir::tenThousandSubfoldersKeepTheWindowAlive()
{
    const QString big = m_dir.filePath("vol/zeta");
    for (int i = 0; i < 10000; ++i) {
        QDir().mkdir(big + QString("/f%1").arg(i, 5, 10, QChar('0')));
    }
    usrDir tree(*m_program, places());
    QTRY_VERIFY(!tree.loading());
    QTreeWidgetItem *zeta = tree.node(big);
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start(0);
    QSignalSpy loaded(&tree, &usrDir::childrenLoaded);
    zeta->setExpanded(true);
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), 30000);
    QCOMPARE(zeta->childCount(), 10000);
    QVERIFY(ticks > 10); // the event loop ran while they came
    QCOMPARE(zeta->child(0)->text(0), QString("F00000"));
}

QTEST_MAIN(tst_usrDir)
#include "tst_usrdir.moc"
