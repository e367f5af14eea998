#include "tools/copymove.h"

#include <QCoro/QCoroTask>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace harvly;

// Copying or moving files into one folder with a rule for names that are taken.
class tst_CopyMove : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void sameNameRules_data();
    void sameNameRules();
    void automaticRenameDropsACounter_data();
    void automaticRenameDropsACounter();
    void passedOverInItsOwnFolder();
    void moveThatCannotBeWrittenKeepsItsSource();
    void moveWithSkipKeepsItsSource();
    void moveAcrossFileSystems();
    void missingSourcesDroppedAndStopPassesOverTheRest();
    void aThousandFilesOneAtATime();

private:
    QString make(const QString &path, const QByteArray &content, const QDateTime &time = {})
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(content);
        f.flush();
        if (time.isValid()) {
            f.setFileTime(time, QFileDevice::FileModificationTime);
        }
        return path;
    }
    QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QStringList names() const
    {
        return QDir(m_dest).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    QTemporaryDir m_dir;
    QString m_src;
    QString m_dest;
};

void tst_CopyMove::init()
{
    QDir(m_dir.path()).removeRecursively();
    m_src = m_dir.filePath("src/");
    m_dest = m_dir.filePath("dest/");
    QDir().mkpath(m_src);
    QDir().mkpath(m_dest);
}

void tst_CopyMove::sameNameRules_data()
{
    QTest::addColumn<int>("rule");
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<bool>("sameTime");
    QTest::addColumn<QStringList>("after"); // the destination's files afterwards
    QTest::addColumn<QByteArray>("report"); // report.pdf's content afterwards
    QTest::addColumn<int>("outcome");
    const QByteArray old = "old!!";
    const QByteArray longer = "older content";
    using O = CopyMoveResult::Outcome;
    QTest::newRow("1 skip") << 1 << old << false << QStringList{"report.pdf"} << old
                            << int(O::Skipped);
    QTest::newRow("2 cover") << 2 << longer << false << QStringList{"report.pdf"}
                             << QByteArray("new!!") << int(O::Covered);
    QTest::newRow("3 auto rename")
        << 3 << old << true << QStringList{"report.pdf", "report[001].pdf"} << old
        << int(O::Renamed);
    QTest::newRow("4 same size and time: cover")
        << 4 << old << true << QStringList{"report.pdf"} << QByteArray("new!!") << int(O::Covered);
    QTest::newRow("4 same size, other time: rename")
        << 4 << old << false << QStringList{"report.pdf", "report[001].pdf"} << old
        << int(O::Renamed);
    QTest::newRow("5 same size, other content: cover")
        << 5 << old << false << QStringList{"report.pdf"} << QByteArray("new!!") << int(O::Covered);
    QTest::newRow("5 other size: rename")
        << 5 << longer << false << QStringList{"report.pdf", "report[001].pdf"} << longer
        << int(O::Renamed);
    QTest::newRow("free name: copied whatever the rule")
        << 1 << QByteArray() << false << QStringList{"report.pdf"} << QByteArray("new!!")
        << int(O::Copied);
}

void tst_CopyMove::sameNameRules()
{
    QFETCH(int, rule);
    QFETCH(QByteArray, existing);
    QFETCH(bool, sameTime);
    QFETCH(QStringList, after);
    QFETCH(QByteArray, report);
    QFETCH(int, outcome);
    const QDateTime t1 = QDateTime::currentDateTime().addDays(-3);
    const QDateTime t2 = t1.addSecs(3600);
    const QString source = make(m_src + "report.pdf", "new!!", t1);
    if (!existing.isEmpty()) {
        make(m_dest + "report.pdf", existing, sameTime ? t1 : t2);
    }
    CopyMoveRun run;
    const CopyMoveReport r =
        QCoro::waitFor(run.run({source}, m_dest, *SameNameRuleOf(rule), false));
    QCOMPARE(r.files.size(), 1);
    QCOMPARE(int(r.files.first().outcome), outcome);
    QCOMPARE(names(), after); // no temporary file left behind
    QCOMPARE(read(m_dest + "report.pdf"), report);
    if (after.size() == 2) {
        QCOMPARE(read(m_dest + "report[001].pdf"), QByteArray("new!!"));
        QCOMPARE(r.files.first().target, m_dest + "report[001].pdf");
    }
    QVERIFY(QFile::exists(source)); // a copy keeps its source
}

void tst_CopyMove::automaticRenameDropsACounter_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("taken");
    QTest::newRow("the plain name is free") << QStringList{"report[002].pdf"} << "report.pdf";
    QTest::newRow("then the first number")
        << QStringList{"report[002].pdf", "report.pdf"} << "report[001].pdf";
    QTest::newRow("and on") << QStringList{"report[002].pdf", "report.pdf", "report[001].pdf"}
                            << "report[003].pdf";
}

void tst_CopyMove::automaticRenameDropsACounter()
{
    QFETCH(QStringList, present);
    QFETCH(QString, taken);
    for (const QString &p : present) {
        make(m_dest + p, "there");
    }
    const QString source = make(m_src + "report[002].pdf", "mine");
    QString fileName;
    QString pure;
    QVERIFY(CopySameNameFilesAutomaticallyRename(source, m_dest, &fileName, &pure));
    QCOMPARE(fileName, taken);
    QCOMPARE(read(m_dest + taken), QByteArray("mine"));
    for (const QString &p : present) {
        QCOMPARE(read(m_dest + p), QByteArray("there"));
    }
    QVERIFY(!CopySameNameFilesAutomaticallyRename(m_src + "none.pdf", m_dest, &fileName, &pure));
}

void tst_CopyMove::passedOverInItsOwnFolder()
{
    const QString source = make(m_dest + "a.pdf", "a");
    CopyMoveRun run;
    const CopyMoveReport r =
        QCoro::waitFor(run.run({source}, m_dest, SameNameRule::AutoRename, true));
    QCOMPARE(int(r.files.first().outcome), int(CopyMoveResult::Outcome::PassedOver));
    QCOMPARE(names(), QStringList{"a.pdf"});
}

void tst_CopyMove::moveThatCannotBeWrittenKeepsItsSource()
{
    // A folder holds the name: "Cover" cannot replace it, and the source stays.
    const QString source = make(m_src + "a.pdf", "a");
    QDir().mkpath(m_dest + "a.pdf");
    CopyMoveRun run;
    const CopyMoveReport r = QCoro::waitFor(run.run({source}, m_dest, SameNameRule::Cover, true));
    QCOMPARE(int(r.files.first().outcome), int(CopyMoveResult::Outcome::Failed));
    QVERIFY(!r.files.first().reason.isEmpty());
    QCOMPARE(read(source), QByteArray("a"));
    QCOMPARE(r.failed(), 1);
}

void tst_CopyMove::moveWithSkipKeepsItsSource()
{
    const QString source = make(m_src + "a.pdf", "mine");
    make(m_dest + "a.pdf", "theirs");
    const QString free = make(m_src + "b.pdf", "b");
    CopyMoveRun run;
    const CopyMoveReport r =
        QCoro::waitFor(run.run({source, free}, m_dest, SameNameRule::Skip, true));
    QCOMPARE(int(r.files.at(0).outcome), int(CopyMoveResult::Outcome::Skipped));
    QCOMPARE(read(source), QByteArray("mine"));
    QCOMPARE(read(m_dest + "a.pdf"), QByteArray("theirs"));
    QVERIFY(r.files.at(1).sourceDeleted);
    QVERIFY(!QFile::exists(free));
    QCOMPARE(read(m_dest + "b.pdf"), QByteArray("b"));
}

void tst_CopyMove::moveAcrossFileSystems()
{
    // /dev/shm is a memory file system on Linux: a move there from the test folder is a copy.
    const QStorageInfo shm(QStringLiteral("/dev/shm"));
    if (!shm.isValid() || shm.device() == QStorageInfo(m_dir.path()).device()) {
        QSKIP("no second file system here");
    }
    QTemporaryDir other(QStringLiteral("/dev/shm/harvly-test-XXXXXX"));
    QVERIFY(other.isValid());
    const QString source = make(m_src + "big.pdf", QByteArray(9 * 1024 * 1024, 'q'));
    CopyMoveRun run;
    const CopyMoveReport r =
        QCoro::waitFor(run.run({source}, other.path(), SameNameRule::AutoRename, true));
    QCOMPARE(int(r.files.first().outcome), int(CopyMoveResult::Outcome::Copied));
    QVERIFY(r.files.first().sourceDeleted);
    QVERIFY(!QFile::exists(source));
    QCOMPARE(QFileInfo(other.filePath("big.pdf")).size(), 9 * 1024 * 1024);
    QCOMPARE(QDir(other.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void tst_CopyMove::missingSourcesDroppedAndStopPassesOverTheRest()
{
    QStringList files{m_src + "gone.pdf"};
    for (int i = 0; i < 5; ++i) {
        files << make(m_src + QString("f%1.pdf").arg(i), "x");
    }
    CopyMoveRun run;
    QList<int> seen;
    connect(&run, &CopyMoveRun::progress, this, [&](int index, int count, const QString &) {
        seen << index;
        QCOMPARE(count, 5); // the missing one is not counted
        if (index == 2) {
            run.stop();
        }
    });
    const CopyMoveReport r = QCoro::waitFor(run.run(files, m_dest, SameNameRule::Skip, false));
    QVERIFY(r.stopped);
    QCOMPARE(seen, (QList<int>{1, 2}));
    QCOMPARE(r.files.size(), 2); // the file being copied is finished
    QCOMPARE(names(), (QStringList{"f0.pdf", "f1.pdf"}));
    QVERIFY(!run.running());
}

void tst_CopyMove::aThousandFilesOneAtATime()
{
    QStringList files;
    for (int i = 0; i < 1000; ++i) {
        files << make(m_src + QString("doc%1.pdf").arg(i), QByteArray::number(i));
    }
    CopyMoveRun run;
    int events = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&events] { ++events; });
    ticker.start(0);
    QCoro::Task<CopyMoveReport> task = run.run(files, m_dest, SameNameRule::AutoRename, false);
    QVERIFY(run.running());
    const CopyMoveReport second = QCoro::waitFor(run.run(files, m_dest, SameNameRule::Skip, false));
    QVERIFY(second.files.isEmpty()); // one run at a time
    const CopyMoveReport r = QCoro::waitFor(std::move(task));
    QCOMPARE(r.files.size(), 1000);
    QCOMPARE(r.failed(), 0);
    QCOMPARE(names().size(), 1000);
    QVERIFY(events > 100); // the event loop ran between the files
}

QTEST_GUILESS_MAIN(tst_CopyMove)
#include "tst_copymove.moc"
