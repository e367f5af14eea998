#include "common/program.h"
#include "common/signalwait.h"
#include "download/downloadlist.h"
#include "download/handover.h"
#include "download/listcommands.h"
#include "download/liststore.h"
#include "download/scheduler.h"
#include "download/schedulerhost.h"
#include "download/singlerequestengine.h"
#include "http/sessionnetwork.h"
#include "pages.h"
#include "support/chinesetexts.h"
#include "support/forwardproxy.h"
#include "support/recordinghost.h"
#include "support/tlssite.h"
#include "testsite.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>

using namespace harvly;
using namespace std::chrono_literals;

class tst_Engines : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_site.start()); }
    void init();
    void cleanup();
    void outcomes_data();
    void outcomes();
    void skipRuleFinishesExistingFiles();
    void coverKeepsTheOldFileWhenTheTransferFails_data();
    void coverKeepsTheOldFileWhenTheTransferFails();
    void renameKeepsBoth();
    void reDownloadKeepsTheFileUntilTheNewOneArrives_data();
    void reDownloadKeepsTheFileUntilTheNewOneArrives();
    void autoLoginHoldsTheNextRow();
    void sameTitleRowsKeepEveryDocument_data();
    void sameTitleRowsKeepEveryDocument();
    void reportedFileIsTheFileOnDisk_data();
    void reportedFileIsTheFileOnDisk();
    void failedRowsSayWhy_data();
    void failedRowsSayWhy();
    void untypedRowIsSavedWithoutABareDot_data();
    void untypedRowIsSavedWithoutABareDot();
    void onlyWebAddressesAreFetched_data();
    void onlyWebAddressesAreFetched();
    void destinationThatIsNoFolderFailsTheRow_data();
    void destinationThatIsNoFolderFailsTheRow();
    void fullDiskFailsTheRowAndKeepsTheOldFile_data();
    void fullDiskFailsTheRowAndKeepsTheOldFile();
    void stopFailsRunningRows();
    void intervalHoldsTheNextStart();
    void slotWithoutSizeIsAbandoned();
    void badProxySettingFailsTheRow();
    void proxyCarriesTheFirstWay();
    void busyEngineSendsTheRowBack();
    void httpsIsVerifiedOnItsOwnPort_data();
    void httpsIsVerifiedOnItsOwnPort();
    void chineseEngine_data();
    void chineseEngine();
    void refererPageIsOpenedFirst_data();
    void refererPageIsOpenedFirst();
    void documentsAreChecked_data();
    void documentsAreChecked();
    void pdfWithoutItsEndFails_data();
    void pdfWithoutItsEndFails();
    void busySiteIsWaitedFor_data();
    void busySiteIsWaitedFor();
    void interruptedTransferResumes_data();
    void interruptedTransferResumes();
    void stoppedTransferResumes_data();
    void stoppedTransferResumes();
    void partGoesWithItsRow_data();
    void partGoesWithItsRow();
    void listedPartNeverTouchesOtherFiles_data();
    void listedPartNeverTouchesOtherFiles();
    void transientFailuresAreTriedAgain_data();
    void transientFailuresAreTriedAgain();

private:
    quint64 add(const QString &path, const QString &title = "Doc", const QString &type = "pdf")
    {
        return *AddDownloadRow(*m_list, *m_program, m_site.url(path).toString(), title, type,
                               m_site.url("/docview/1").toString(), m_folder);
    }
    // One scheduler second: both ticks, then the engines' work until it settles. Time on the
    // scheduler's clock runs ten times faster than on the wall while transfers go on.
    void tick()
    {
        m_now += 1.0;
        m_scheduler->Timer_Down_Timer();
        m_scheduler->Timer1_Timer();
        settle();
    }
    void settle()
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000 && (m_scheduler->transferring() ||
                                       m_list->countState(DownloadState::Downloading) > 0)) {
            QTest::qWait(20);
            m_now += 0.2;
            m_scheduler->Timer1_Timer();
        }
    }
    void runAll(int maxTicks = 30)
    {
        m_scheduler->menuStartDownload();
        for (int i = 0; i < maxTicks && m_scheduler->timerDownEnabled(); ++i) {
            tick();
        }
    }
    // The hidden temporary files in the folder.
    QStringList partsOnDisk() const
    {
        return QDir(m_folder).entryList({".harvly-*"}, QDir::Files | QDir::Hidden);
    }
    QStringList filesOnDisk() const
    {
        return QDir(m_folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    testsite::TestSite m_site;
    QTemporaryDir m_dir;
    QString m_folder;
    std::unique_ptr<Program> m_program;
    std::unique_ptr<DownloadListModel> m_list;
    std::unique_ptr<RecordingHost> m_host;
    std::unique_ptr<DownloadScheduler> m_scheduler;
    double m_now = 1000;
};

void tst_Engines::init()
{
    static int run = 0;
    m_folder = m_dir.filePath(QString("run%1").arg(++run)) + "/";
    QDir().mkpath(m_folder);
    m_program = std::make_unique<Program>(
        Build::english(), std::make_unique<Settings>(Build::english(), m_dir.filePath("s.ini")));
    m_list = std::make_unique<DownloadListModel>();
    m_host = std::make_unique<RecordingHost>();
    m_scheduler = std::make_unique<DownloadScheduler>(*m_list, m_program->network(), *m_host,
                                                      Build::english());
    m_scheduler->setClock([this] { return m_now; });
    m_scheduler->LastDownloadEndTime = m_now;
    m_scheduler->limits = {2000ms, 1500ms, 1200s};
    // The transfer rules are tested on bodies the site makes up, not all of them whole PDFs;
    // the document check is tested on its own.
    m_scheduler->options.checkDocuments = false;
}

void tst_Engines::cleanup()
{
    m_scheduler.reset();
}

void tst_Engines::outcomes_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("fileSize");
    QTest::addColumn<QString>("percentage");
    QTest::addColumn<QStringList>("files");

    const int done = int(DownloadState::Finished);
    const int failed = int(DownloadState::Failed);
    for (const int way : {1, 2}) {
        const QString w = QString("way %1: ").arg(way);
        QTest::newRow(qPrintable(w + "a pdf")) << way << "/pdf/3.pdf" << done << "pdf"
                                               << "*"
                                               << "100%" << QStringList{"Doc.pdf"};
        QTest::newRow(qPrintable(w + "no size announced"))
            << way << "/pdf/3.pdf?fault=nolength" << done << "pdf"
            << "*"
            << "100%" << QStringList{"Doc.pdf"};
        QTest::newRow(qPrintable(w + "body shorter than announced"))
            << way << "/pdf/3.pdf?fault=short" << failed << "pdf"
            << (way == 1 ? "download failed" : "*") << "*" << QStringList{};
        QTest::newRow(qPrintable(w + "connection reset"))
            << way << "/pdf/3.pdf?fault=reset" << failed << "pdf"
            << ""
            << "" << QStringList{};
        QTest::newRow(qPrintable(w + "stalled transfer"))
            << way << "/pdf/3.pdf?fault=stall&after=100" << failed << "pdf"
            << (way == 1 ? "download failed" : "*") << "*" << QStringList{};
        QTest::newRow(qPrintable(w + "login page instead of the file"))
            << way << "/secure/3.pdf" << done << "htm"
            << "*"
            << "100%" << QStringList{"Doc.htm"};
        QTest::newRow(qPrintable(w + "refused with 403"))
            << way << "/pdf/3.pdf?fault=403" << done << "htm"
            << "*"
            << "100%" << QStringList{"Doc.htm"};
        QTest::newRow(qPrintable(w + "redirected"))
            << way << "/pdf/3.pdf?fault=redirect" << done << "pdf"
            << "*"
            << "100%" << QStringList{"Doc.pdf"};
        QTest::newRow(qPrintable(w + "slow but whole"))
            << way << "/pdf/3.pdf?fault=slow&chunk=100&interval=10" << done << "pdf"
            << "*"
            << "100%" << QStringList{"Doc.pdf"};
    }
}

void tst_Engines::outcomes()
{
    QFETCH(int, way);
    QFETCH(QString, path);
    QFETCH(int, state);
    QFETCH(QString, type);
    QFETCH(QString, fileSize);
    QFETCH(QString, percentage);
    QFETCH(QStringList, files);
    m_scheduler->options.way = WayFromNumber(way);
    m_scheduler->options.threads = 2;
    m_scheduler->options.autoLogin = true;
    m_scheduler->options.voicePrompts = true;
    add(path);
    runAll();
    const DownloadRow &r = m_list->at(0);
    QCOMPARE(int(r.state), state);
    QCOMPARE(r.type, type);
    if (fileSize != "*") {
        QCOMPARE(r.fileSizeText(), fileSize);
    }
    if (percentage != "*") {
        QCOMPARE(r.percentageText(), percentage);
    }
    QCOMPARE(filesOnDisk(), files); // nothing half-written, no temporary file left
    if (state == int(DownloadState::Finished)) {
        QCOMPARE(r.fileSize, QFileInfo(r.localFile()).size());
        QCOMPARE(r.downloaded, r.fileSize);
    }
    const bool page = type == "htm";
    QCOMPARE(m_host->logins, page ? 1 : 0);
    QCOMPARE(m_host->sounds.contains(101), page);
    QCOMPARE(m_host->sounds.contains(103), state == int(DownloadState::Failed));
    QVERIFY(!m_scheduler->timerDownEnabled()); // all done: stopped by itself
}

void tst_Engines::skipRuleFinishesExistingFiles()
{
    write(m_folder + "Doc.pdf", "existing");
    m_scheduler->options.duplicateMode = DuplicateMode::Skip;
    const qsizetype before = m_site.requests().size();
    add("/pdf/4.pdf");
    runAll();
    const DownloadRow &r = m_list->at(0);
    QCOMPARE(r.state, DownloadState::Finished);
    QCOMPARE(r.percentageText(), QString("Already exists, skip"));
    QCOMPARE(r.fileSize, 8);
    QCOMPARE(r.downloaded, 8);
    QVERIFY(!r.neverAttempted());
    QCOMPARE(m_site.requests().size(), before);
    QCOMPARE(read(m_folder + "Doc.pdf"), QByteArray("existing"));
}

void tst_Engines::coverKeepsTheOldFileWhenTheTransferFails_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("way 1") << 1;
    QTest::newRow("way 2") << 2;
}

void tst_Engines::coverKeepsTheOldFileWhenTheTransferFails()
{
    QFETCH(int, way);
    write(m_folder + "Doc.pdf", "precious");
    m_scheduler->options.way = WayFromNumber(way);
    m_scheduler->options.duplicateMode = DuplicateMode::Cover;
    add("/pdf/5.pdf?fault=short");
    runAll();
    QCOMPARE(m_list->at(0).state, DownloadState::Failed);
    QCOMPARE(read(m_folder + "Doc.pdf"), QByteArray("precious"));
    QCOMPARE(filesOnDisk(), QStringList{"Doc.pdf"});

    // A transfer that succeeds does replace it.
    add("/pdf/5.pdf");
    runAll();
    QCOMPARE(m_list->at(1).state, DownloadState::Finished);
    QVERIFY(read(m_folder + "Doc.pdf").startsWith("%PDF"));
}

void tst_Engines::reDownloadKeepsTheFileUntilTheNewOneArrives_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("again");
    QTest::addColumn<bool>("fails");
    const int rename = int(DuplicateMode::Rename);
    const int skip = int(DuplicateMode::Skip);
    for (const int way : {1, 2}) {
        QTest::addRow("way %d: the site is away: the old file stays?", way)
            << way << rename << "/pdf/3.pdf"
            << "/pdf/4.pdf?fault=reset" << true;
        QTest::addRow("way %d: cut short: the old file stays?", way)
            << way << rename << "/pdf/3.pdf"
            << "/pdf/4.pdf?fault=short" << true;
        QTest::addRow("way %d: a login page comes: the old file stays?", way)
            << way << rename << "/pdf/3.pdf"
            << "/secure/4.pdf" << true;
        QTest::addRow("way %d: the new document replaces it, no copy?", way)
            << way << rename << "/pdf/3.pdf"
            << "/pdf/4.pdf" << false;
        QTest::addRow("way %d: under Skip the row is fetched, not skipped?", way)
            << way << skip << "/pdf/3.pdf"
            << "/pdf/4.pdf" << false;
        QTest::addRow("way %d: a page row fetched again as its document: the page goes?", way)
            << way << rename << "/secure/3.pdf"
            << "/pdf/4.pdf" << false;
    }
}

void tst_Engines::reDownloadKeepsTheFileUntilTheNewOneArrives()
{
    QFETCH(int, way);
    QFETCH(int, mode);
    QFETCH(QString, first);
    QFETCH(QString, again);
    QFETCH(bool, fails);
    m_scheduler->options.way = WayFromNumber(way);
    m_scheduler->options.duplicateMode = DuplicateMode(mode);
    const quint64 id = add(first);
    runAll();
    QCOMPARE(m_list->find(id)->state, DownloadState::Finished);
    const QString oldFile = m_list->find(id)->localFile();
    const QByteArray old = read(oldFile);
    QVERIFY(!old.isEmpty());

    QCOMPARE(ReDownloadSelectItems(*m_list, {id}, Build::english()), 1);
    QCOMPARE(read(oldFile), old); // asked for again, the document is still there
    m_list->update(id, [&](DownloadRow &r) { r.key = m_site.url(again).toString(); });
    runAll();
    const QString wanted = m_folder + "Doc.pdf";
    if (fails) {
        QCOMPARE(m_list->find(id)->state, DownloadState::Failed);
        QVERIFY(!m_list->find(id)->reason.isEmpty());
        QCOMPARE(read(oldFile), old);
        QCOMPARE(m_list->find(id)->localFile(), oldFile); // the row still shows its file
        QVERIFY(partsOnDisk().size() <= 1);               // at most a part to continue
        QCOMPARE(QDir(m_folder).entryList(QDir::Files), QStringList{"Doc.pdf"});
        // The double click on the failed row, the site back: the new file takes its place.
        m_list->update(id, [&](DownloadRow &r) { r.key = m_site.url("/pdf/4.pdf").toString(); });
        QVERIFY(ReQueueFailedItem(*m_list, id));
        QCOMPARE(read(oldFile), old);
        runAll();
    }
    const DownloadRow &r = *m_list->find(id);
    QCOMPARE(r.state, DownloadState::Finished);
    QCOMPARE(r.localFile(), wanted);
    QCOMPARE(filesOnDisk(), QStringList{"Doc.pdf"}); // no [001] copy, no page left behind
    const QByteArray now = read(wanted);
    QVERIFY(now.startsWith("%PDF"));
    QVERIFY(now != old);
    QVERIFY(r.earlier.isEmpty());
}

void tst_Engines::renameKeepsBoth()
{
    write(m_folder + "Doc.pdf", "first");
    add("/pdf/6.pdf");
    runAll();
    QCOMPARE(m_list->at(0).text, QString("Doc[001]"));
    QCOMPARE(filesOnDisk(), (QStringList{"Doc.pdf", "Doc[001].pdf"}));
    QCOMPARE(read(m_folder + "Doc.pdf"), QByteArray("first"));
}

void tst_Engines::autoLoginHoldsTheNextRow()
{
    m_scheduler->options.autoLogin = true;
    m_host->holdLogins = true;
    add("/secure/3.pdf", "Page"); // the login page comes instead of the document
    add("/pdf/4.pdf", "Paper");
    m_scheduler->menuStartDownload();
    m_now += 1;
    m_scheduler->Timer_Down_Timer();
    QTRY_COMPARE(m_host->logins, 1);
    QCOMPARE(m_list->at(0).type, QString("htm"));
    for (int i = 0; i < 5; ++i) { // ticks while the login runs start nothing
        m_now += 1;
        m_scheduler->Timer_Down_Timer();
        m_scheduler->Timer1_Timer();
        QTest::qWait(10);
    }
    QCOMPARE(m_list->at(1).state, DownloadState::Waiting);
    QVERIFY(m_scheduler->InetBusy());
    emit m_host->gate.opened();
    QTRY_COMPARE(m_host->loginsEnded, 1);
    QTRY_VERIFY(!m_scheduler->InetBusy());
    runAll();
    QCOMPARE(m_list->at(1).state, DownloadState::Finished);
}

void tst_Engines::sameTitleRowsKeepEveryDocument_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<int>("mode");
    for (const int way : {1, 2}) {
        QTest::addRow("way %d, five rows titled alike, rename: five files?", way)
            << way << int(DuplicateMode::Rename);
        QTest::addRow("way %d, five rows titled alike, skip: one file, four skipped?", way)
            << way << int(DuplicateMode::Skip);
    }
}

void tst_Engines::sameTitleRowsKeepEveryDocument()
{
    QFETCH(int, way);
    QFETCH(int, mode);
    m_scheduler->options.way = WayFromNumber(way);
    m_scheduler->options.threads = 5;
    m_scheduler->options.duplicateMode = DuplicateMode(mode);
    for (int i = 1; i <= 5; ++i) {
        add(QString("/pdf/%1.pdf?fault=slow&chunk=2000&interval=5").arg(i), "Paper");
    }
    runAll();
    if (DuplicateMode(mode) == DuplicateMode::Skip) {
        QCOMPARE(filesOnDisk(), QStringList{"Paper.pdf"});
        QCOMPARE(m_list->countState(DownloadState::Finished), 5);
        int skipped = 0;
        for (int i = 0; i < 5; ++i) {
            skipped += m_list->at(i).percentageText() == "Already exists, skip" ? 1 : 0;
        }
        QCOMPARE(skipped, 4);
        return;
    }
    QCOMPARE(filesOnDisk(), (QStringList{"Paper.pdf", "Paper[001].pdf", "Paper[002].pdf",
                                         "Paper[003].pdf", "Paper[004].pdf"}));
    QSet<QByteArray> documents;
    QSet<QString> reported;
    for (int i = 0; i < 5; ++i) {
        const DownloadRow &r = m_list->at(i);
        QCOMPARE(r.state, DownloadState::Finished);
        QVERIFY2(QFile::exists(r.localFile()), qPrintable(r.localFile()));
        reported.insert(r.localFile());
        documents.insert(read(r.localFile()));
    }
    QCOMPARE(reported.size(), 5);
    QCOMPARE(documents.size(), 5); // five different papers, none written over another
}

void tst_Engines::reportedFileIsTheFileOnDisk_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("title");
    const QList<std::pair<const char *, QString>> titles = {
        {"blank", "   "},
        {"a dot", "."},
        {"two dots", ".."},
        {"only dots", "....."},
        {"300 bytes", QString(300, QChar('a'))},
        {"300 bytes of CJK", QString(100, QChar(0x6587))},
        {"empty once cleaned", "?*<>|"},
        {"a path", "../../etc/passwd"},
    };
    for (const int way : {1, 2}) {
        for (const int mode : {int(DuplicateMode::Rename), int(DuplicateMode::Cover)}) {
            for (const auto &[name, title] : titles) {
                QTest::addRow("way %d, %s, title %s: the reported file holds the bytes?", way,
                              mode == int(DuplicateMode::Cover) ? "cover" : "rename", name)
                    << way << mode << title;
            }
        }
    }
}

void tst_Engines::reportedFileIsTheFileOnDisk()
{
    QFETCH(int, way);
    QFETCH(int, mode);
    QFETCH(QString, title);
    m_scheduler->options.way = WayFromNumber(way);
    m_scheduler->options.duplicateMode = DuplicateMode(mode);
    add("/pdf/3.pdf", title, "pdf");
    add("/pdf/4.pdf?fault=disposition", title, ""); // typed afterwards by its content
    runAll();
    for (int i = 0; i < 2; ++i) {
        const DownloadRow &r = m_list->at(i);
        QCOMPARE(r.state, DownloadState::Finished);
        const QFileInfo file(r.localFile());
        QVERIFY2(file.isFile(), qPrintable(r.localFile()));
        QCOMPARE(file.absolutePath() + "/", m_folder); // never outside the folder
        QCOMPARE(file.size(), r.fileSize);
        QVERIFY(file.fileName().toUtf8().size() <= 255);
    }
    QCOMPARE(filesOnDisk().size(), 2);
}

void tst_Engines::failedRowsSayWhy_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("reason");
    for (const int way : {1, 2}) {
        QTest::addRow("way %d: stalled", way) << way << "site:/pdf/3.pdf?fault=stall&after=100"
                                              << "time limit without progress";
        QTest::addRow("way %d: reset", way) << way << "site:/pdf/3.pdf?fault=reset"
                                            << "connection reset";
        QTest::addRow("way %d: short body", way) << way << "site:/pdf/3.pdf?fault=short"
                                                 << "body shorter than announced: ";
        QTest::addRow("way %d: refused", way) << way << "http://127.0.0.1:1/x.pdf"
                                              << "connection refused";
        QTest::addRow("way %d: a local file", way) << way << "file:///etc/passwd"
                                                   << "unsupported address";
        QTest::addRow("way %d: ftp", way) << way << "ftp://127.0.0.1/x.pdf"
                                          << "unsupported address";
        QTest::addRow("way %d: redirect loop", way) << way << "site:/pdf/3.pdf?fault=loop"
                                                    << "too many redirects";
        QTest::addRow("way %d: destination not a folder", way) << way << "folder:/pdf/3.pdf"
                                                               << "destination not a folder";
    }
}

void tst_Engines::failedRowsSayWhy()
{
    QFETCH(int, way);
    QFETCH(QString, address);
    QFETCH(QString, reason);
    m_scheduler->options.way = WayFromNumber(way);
    if (!reason.startsWith("time limit")) {
        // The scheduler's clock runs ten times faster here: a slow hop must not pass for a stall.
        m_scheduler->limits.stall = 60s;
    }
    QString folder = m_folder;
    if (address.startsWith("folder:")) {
        write(m_folder + "plain", "a file");
        folder = m_folder + "plain/sub/";
        address = "site:" + address.mid(7);
    }
    const QString url =
        address.startsWith("site:") ? m_site.url(address.mid(5)).toString() : address;
    AddDownloadRow(*m_list, *m_program, url, "Doc", "pdf", QString(), folder);
    runAll();
    const DownloadRow &r = m_list->at(0);
    QCOMPARE(r.state, DownloadState::Failed);
    QVERIFY2(r.reason.startsWith(reason), qPrintable(r.reason));
    const QModelIndex size = m_list->index(0, DownloadListModel::FileSize);
    QCOMPARE(m_list->data(size, Qt::ToolTipRole).toString(), r.reason);
}

void tst_Engines::untypedRowIsSavedWithoutABareDot_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<int>("mode");
    for (const int way : {1, 2}) {
        for (const int mode : {int(DuplicateMode::Rename), int(DuplicateMode::Cover)}) {
            QTest::addRow("way %d, mode %d: a row without type ends as Doc.pdf?", way, mode)
                << way << mode;
        }
    }
}

void tst_Engines::untypedRowIsSavedWithoutABareDot()
{
    QFETCH(int, way);
    QFETCH(int, mode);
    m_scheduler->options.way = WayFromNumber(way);
    m_scheduler->options.duplicateMode = DuplicateMode(mode);
    // The sample site announces no type, so no way can derive one from the answer.
    add("/pdf/3.pdf?fault=disposition", "Doc", "");
    runAll();
    const DownloadRow &r = m_list->at(0);
    QCOMPARE(r.state, DownloadState::Finished);
    QCOMPARE(filesOnDisk(), QStringList{"Doc"});
    QCOMPARE(r.localFile(), m_folder + "Doc");
}

void tst_Engines::onlyWebAddressesAreFetched_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<QString>("address");
    for (const int way : {1, 2}) {
        QTest::addRow("way %d: a local file is never read", way) << way << "file:///etc/passwd";
        QTest::addRow("way %d: a data address is refused", way) << way << "data:application/pdf,x";
        QTest::addRow("way %d: ftp is refused", way) << way << "ftp://127.0.0.1/x.pdf";
        QTest::addRow("way %d: a redirect to a local file fails", way)
            << way << "site:/pdf/3.pdf?fault=tofile";
        QTest::addRow("way %d: a redirect loop fails", way) << way << "site:/pdf/3.pdf?fault=loop";
    }
}

void tst_Engines::onlyWebAddressesAreFetched()
{
    QFETCH(int, way);
    QFETCH(QString, address);
    m_scheduler->options.way = WayFromNumber(way);
    const QString url =
        address.startsWith("site:") ? m_site.url(address.mid(5)).toString() : address;
    AddDownloadRow(*m_list, *m_program, url, "Doc", "pdf", QString(), m_folder);
    runAll();
    QCOMPARE(m_list->at(0).state, DownloadState::Failed);
    QCOMPARE(filesOnDisk(), QStringList{});
}

void tst_Engines::destinationThatIsNoFolderFailsTheRow_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("way 1") << 1;
    QTest::newRow("way 2") << 2;
}

void tst_Engines::destinationThatIsNoFolderFailsTheRow()
{
    QFETCH(int, way);
    m_scheduler->options.way = WayFromNumber(way);
    write(m_folder + "plain", "a file, not a folder");
    AddDownloadRow(*m_list, *m_program, m_site.url("/pdf/3.pdf").toString(), "Doc", "pdf",
                   QString(), m_folder + "plain/");
    runAll();
    QCOMPARE(m_list->at(0).state, DownloadState::Failed);
    QCOMPARE(filesOnDisk(), QStringList{"plain"});
    QCOMPARE(read(m_folder + "plain"), QByteArray("a file, not a folder"));
}

void tst_Engines::fullDiskFailsTheRowAndKeepsTheOldFile_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<bool>("realDisk");
    QTest::addColumn<QString>("reason");
    for (const int way : {1, 2}) {
        QTest::addRow("way %d, a small file system fills up: disk full?", way)
            << way << true << "disk full";
        QTest::addRow("way %d, writes refused past a size: cannot write?", way)
            << way << false << "cannot write the file: ";
    }
}

void tst_Engines::fullDiskFailsTheRowAndKeepsTheOldFile()
{
    QFETCH(int, way);
    QFETCH(bool, realDisk);
    QFETCH(QString, reason);
    QString folder = m_folder;
    if (realDisk) {
        folder = m_folder + "small/";
        QDir().mkpath(folder);
        if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=512k") != 0) {
            QSKIP("no permission to mount a small file system here");
        }
    }
    const auto unmount = qScopeGuard([&] {
        if (realDisk) {
            ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
        }
    });
    write(folder + "Doc.pdf", "precious");
    m_scheduler->options.way = WayFromNumber(way);
    m_scheduler->options.duplicateMode = DuplicateMode::Cover;
    AddDownloadRow(*m_list, *m_program, m_site.url("/big/x.pdf?size=4000000").toString(), "Doc",
                   "pdf", QString(), folder);
    rlimit before{};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &before) == 0);
    if (!realDisk) {
        // A file size limit makes every write past 256 KiB fail, as a full disk does.
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit small = before;
        small.rlim_cur = 256 * 1024;
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
    }
    runAll();
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &before) == 0);
    const DownloadRow &r = m_list->at(0);
    QCOMPARE(r.state, DownloadState::Failed);
    QVERIFY2(r.reason.startsWith(reason), qPrintable(r.reason));
    QCOMPARE(read(folder + "Doc.pdf"), QByteArray("precious"));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"Doc.pdf"});
}

void tst_Engines::stopFailsRunningRows()
{
    m_scheduler->options.way = DownloadWay::Parallel;
    m_scheduler->options.threads = 3;
    for (int i = 0; i < 3; ++i) {
        add(QString("/pdf/%1.pdf?fault=slow&chunk=10&interval=200").arg(i),
            QString("Slow %1").arg(i));
    }
    m_scheduler->menuStartDownload();
    m_now += 1;
    m_scheduler->Timer_Down_Timer();
    QCOMPARE(m_list->countState(DownloadState::Downloading), 3);
    QTest::qWait(300);
    m_scheduler->menuStopDownload();
    QCOMPARE(m_list->countState(DownloadState::Failed), 3);
    QVERIFY(!m_scheduler->transferring());
    QVERIFY(!m_scheduler->timerDownEnabled());
    QTest::qWait(100);
    QCOMPARE(filesOnDisk(), QStringList{});
}

void tst_Engines::intervalHoldsTheNextStart()
{
    add("/pdf/10.pdf", "One");
    add("/pdf/11.pdf", "Two");
    m_scheduler->options.interval = 3;
    m_scheduler->menuStartDownload();
    tick(); // 1 s after load: not more than 3
    QCOMPARE(m_list->countState(DownloadState::Waiting), 2);
    m_now += 3;
    tick();
    QCOMPARE(m_list->at(0).state, DownloadState::Finished);
    QCOMPARE(m_list->at(1).state, DownloadState::Waiting);
    m_now = m_scheduler->LastDownloadEndTime + 2;
    m_scheduler->Timer_Down_Timer();
    QCOMPARE(m_list->at(1).state, DownloadState::Waiting);

    // With no interval the next row starts on the very next tick.
    m_scheduler->options.interval = 0;
    tick();
    QCOMPARE(m_list->at(1).state, DownloadState::Finished);
}

void tst_Engines::slotWithoutSizeIsAbandoned()
{
    m_scheduler->options.way = DownloadWay::Parallel;
    m_scheduler->limits.stall = 600s; // only the abandon rule can end it
    add("/pdf/14.pdf?fault=stallnolength&after=50");
    m_scheduler->menuStartDownload();
    m_now += 1;
    m_scheduler->Timer_Down_Timer();
    QTest::qWait(200);
    m_now += 1199;
    m_scheduler->Timer1_Timer();
    QCOMPARE(m_list->at(0).state, DownloadState::Downloading); // not yet twenty minutes
    m_now += 2;
    m_scheduler->Timer1_Timer();
    QCOMPARE(m_list->at(0).state, DownloadState::Failed);
    QVERIFY(!m_scheduler->transferring());
    QCOMPARE(filesOnDisk(), QStringList{});
}

void tst_Engines::documentsAreChecked_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("check");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("note");
    using S = DownloadState;
    for (const int way : {1, 2}) {
        QTest::addRow("way %d, the paper", way)
            << way << "" << true << int(S::Finished) << int(RowNote::None);
        QTest::addRow("way %d, damaged: failed", way)
            << way << "damaged" << true << int(S::Failed) << int(RowNote::None);
        QTest::addRow("way %d, the next paper: noted", way)
            << way << "wrongpaper" << true << int(S::Finished) << int(RowNote::TitleNotFound);
        QTest::addRow("way %d, a cover sheet: noted", way)
            << way << "cover" << true << int(S::Finished) << int(RowNote::TitleNotFound);
        QTest::addRow("way %d, a scan", way)
            << way << "scanned" << true << int(S::Finished) << int(RowNote::NoTextToCheck);
        QTest::addRow("way %d, damaged, the check off", way)
            << way << "damaged" << false << int(S::Finished) << int(RowNote::None);
    }
}

void tst_Engines::documentsAreChecked()
{
    QFETCH(int, way);
    QFETCH(QString, fault);
    QFETCH(bool, check);
    QFETCH(int, state);
    QFETCH(int, note);
    m_scheduler->options.way = WayFromNumber(way);
    m_scheduler->options.checkDocuments = check;
    m_scheduler->options.duplicateMode = DuplicateMode::Cover;
    const QString title = testsite::RecordTitle(4);
    write(m_folder + "Earlier.pdf", "an older copy");
    add("/pdf/4.pdf?fault=" + fault, title);
    runAll();
    const DownloadRow &r = m_list->at(0);
    QCOMPARE(int(r.state), state);
    if (r.state == DownloadState::Failed) {
        QVERIFY2(r.reason.startsWith("Damaged PDF: "), qPrintable(r.reason));
        QCOMPARE(filesOnDisk(), QStringList{"Earlier.pdf"}); // nothing of it left
    } else {
        QCOMPARE(int(r.note), note);
        QCOMPARE(r.pages, check ? 1 : 0);
        QCOMPARE(r.percentageText(), note ? RowNoteText(RowNote(note)) : QString("100%"));
    }
}

void tst_Engines::pdfWithoutItsEndFails_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("check");
    for (const int way : {1, 2}) {
        QTest::addRow("way %d, with a length", way) << way << "cut" << true;
        QTest::addRow("way %d, without a length", way) << way << "cutnolength" << true;
        QTest::addRow("way %d, the check off: kept", way) << way << "cut" << false;
    }
}

void tst_Engines::pdfWithoutItsEndFails()
{
    QFETCH(int, way);
    QFETCH(QString, fault);
    QFETCH(bool, check);
    m_scheduler->options.way = WayFromNumber(way);
    m_scheduler->options.checkPdfEnd = check;
    m_scheduler->options.duplicateMode = DuplicateMode::Cover;
    write(m_folder + "Doc.pdf", "an older copy"); // "Cover" would replace it
    add("/pdf/3.pdf?fault=" + fault);
    runAll();
    if (check) {
        QCOMPARE(m_list->at(0).state, DownloadState::Failed);
        QCOMPARE(m_list->at(0).reason, QString("Incomplete PDF"));
        QCOMPARE(read(m_folder + "Doc.pdf"), QByteArray("an older copy")); // old file kept
        QCOMPARE(filesOnDisk(), QStringList{"Doc.pdf"});                   // nothing left
    } else {
        QCOMPARE(m_list->at(0).state, DownloadState::Finished);
        QVERIFY(!read(m_folder + "Doc.pdf").contains("%%EOF"));
    }
}

void tst_Engines::busySiteIsWaitedFor_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("wait"); // seconds on the scheduler's clock
    for (const int way : {1, 2}) {
        QTest::addRow("way %d, 429 with Retry-After 7", way) << way << "busy&retry=7" << 7;
        QTest::addRow("way %d, 503 without: back-off 30 s", way) << way << "busy&status=503" << 30;
    }
}

void tst_Engines::busySiteIsWaitedFor()
{
    QFETCH(int, way);
    QFETCH(QString, fault);
    QFETCH(int, wait);
    m_scheduler->options.way = WayFromNumber(way);
    m_scheduler->options.threads = 2;
    m_scheduler->options.errorStop = true;
    const QString busy =
        QString("/pdf/7.pdf?fault=%1&n=%2").arg(fault).arg(QTest::currentDataTag());
    const quint64 first = add(busy, "First");
    add("/pdf/8.pdf", "Second"); // the same site: held too
    m_scheduler->menuStartDownload();
    tick();
    const double askedAt = m_now;
    const DownloadRow *row = m_list->find(first);
    QCOMPARE(row->state, DownloadState::Waiting);
    QCOMPARE(row->note, RowNote::ServerBusy);
    QVERIFY2(row->fileSizeText().startsWith("Server busy, retry at "),
             qPrintable(row->fileSizeText()));
    QCOMPARE(row->busyAnswers, 1);
    QVERIFY(!QFile::exists(m_folder + "First.pdf"));
    // Until the wait has passed nothing of the site starts, and the error stop is not hit.
    const int secondState = int(m_list->at(1).state);
    while (m_now < askedAt + wait - 1) {
        tick();
        QCOMPARE(m_list->find(first)->state, DownloadState::Waiting);
        QVERIFY(m_scheduler->timerDownEnabled());
    }
    if (way == 1) {
        QCOMPARE(int(m_list->at(1).state), secondState); // one at a time: it waited as well
        QCOMPARE(m_list->at(1).state, DownloadState::Waiting);
    }
    for (int i = 0; i < 10 && m_list->find(first)->state != DownloadState::Finished; ++i) {
        tick();
    }
    QCOMPARE(m_list->find(first)->state, DownloadState::Finished);
    QVERIFY(read(m_folder + "First.pdf").startsWith("%PDF"));
    runAll();
    QCOMPARE(m_list->at(1).state, DownloadState::Finished);
}

void tst_Engines::badProxySettingFailsTheRow()
{
    m_scheduler->options.proxyOn = true;
    m_scheduler->options.proxyHost = "127.0.0.1";
    m_scheduler->options.proxyPort = "80a";
    const qsizetype before = m_site.requests().size();
    add("/pdf/15.pdf");
    runAll();
    QCOMPARE(m_list->at(0).state, DownloadState::Failed);
    QCOMPARE(m_list->at(0).fileSizeText(), QString("Bad proxy setting"));
    QCOMPARE(m_site.requests().size(), before);
}

void tst_Engines::proxyCarriesTheFirstWay()
{
    ForwardProxy proxy;
    m_scheduler->options.proxyOn = true;
    m_scheduler->options.proxyHost = "127.0.0.1";
    m_scheduler->options.proxyPort = QString::number(proxy.port());
    add("/pdf/18.pdf");
    runAll();
    QCOMPARE(m_list->at(0).state, DownloadState::Finished);
    QCOMPARE(proxy.requests(), 1);
    QVERIFY(read(m_list->at(0).localFile()).startsWith("%PDF"));
}

void tst_Engines::httpsIsVerifiedOnItsOwnPort_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<bool>("trusted");
    QTest::newRow("way 1, untrusted certificate") << 1 << false;
    QTest::newRow("way 1, trusted certificate") << 1 << true;
    QTest::newRow("way 2, untrusted certificate") << 2 << false;
    QTest::newRow("way 2, trusted certificate") << 2 << true;
}

void tst_Engines::httpsIsVerifiedOnItsOwnPort()
{
    QFETCH(int, way);
    QFETCH(bool, trusted);
    TlsSite tls;
    QVERIFY(tls.start());
    if (trusted) {
        QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
        conf.addCaCertificate(tls.certificate());
        QSslConfiguration::setDefaultConfiguration(conf);
    }
    m_scheduler->options.way = WayFromNumber(way);
    AddDownloadRow(*m_list, *m_program,
                   QString("https://127.0.0.1:%1/secure/paper.pdf").arg(tls.port()), "Secure",
                   "pdf", "", m_folder);
    runAll();
    const DownloadRow &r = m_list->at(0);
    if (trusted) {
        QCOMPARE(r.state, DownloadState::Finished);
        QVERIFY(read(r.localFile()).contains("served over TLS"));
    } else {
        QCOMPARE(r.state, DownloadState::Failed);
        if (way == 1) {
            QCOMPARE(r.fileSizeText(), QString("certificate not trusted"));
        }
        QCOMPARE(filesOnDisk(), QStringList{});
    }
    if (trusted) {
        QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
        conf.setCaCertificates(QSslConfiguration::systemCaCertificates());
        QSslConfiguration::setDefaultConfiguration(conf);
    }
}

void tst_Engines::chineseEngine_data()
{
    QTest::addColumn<QString>("key"); // "@" stands for the site
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("fileSize");
    QTest::addColumn<QString>("percentage");
    QTest::addColumn<QStringList>("files");
    const QString mb3 = QString::number(3 * 1024 * 1024);
    QTest::newRow("announced size above the ceiling is skipped unwritten")
        << "@/pdf/20.pdf?size=" + mb3 << ""
        << ""
        << "大文件，跳过" << QStringList{};
    QTest::newRow("growing past the ceiling keeps the part received")
        << "@/pdf/21.pdf?fault=nolength&size=" + mb3 << "pdf"
        << "未知"
        << "大文件，跳过" << QStringList{"Doc.pdf"};
    QTest::newRow("type from the Content-Disposition name") << "@/pdf/22.pdf?fault=disposition"
                                                            << "caj"
                                                            << "29"
                                                            << "100%" << QStringList{"Doc.caj"};
    QTest::newRow("a charset without a type is a page") << "@/pdf/23.pdf?fault=charset"
                                                        << "htm"
                                                        << "29"
                                                        << "100%" << QStringList{"Doc.htm"};
    QTest::newRow("the first of several addresses") << "@/pdf/24.pdf|@/pdf/99.pdf?fault=reset"
                                                    << "pdf"
                                                    << "*"
                                                    << "100%" << QStringList{"Doc.pdf"};
}

void tst_Engines::chineseEngine()
{
    QFETCH(QString, key);
    QFETCH(QString, type);
    QFETCH(QString, fileSize);
    QFETCH(QString, percentage);
    QFETCH(QStringList, files);
    const ChineseTexts texts;
    QVERIFY(texts.loaded());
    m_scheduler = std::make_unique<DownloadScheduler>(*m_list, m_program->network(), *m_host,
                                                      Build::chinese());
    m_scheduler->setClock([this] { return m_now; });
    m_scheduler->limits = {2000ms, 1500ms, 1200s};
    m_scheduler->options.sizeCeilingMegabytes = 1;
    m_scheduler->options.checkDocuments = false;
    key.replace("@", m_site.url("").toString());
    m_list->add(key, "Doc", "", m_folder, "");
    runAll();
    const DownloadRow &r = m_list->at(0);
    QCOMPARE(r.state, DownloadState::Finished);
    QCOMPARE(r.type, type);
    if (fileSize != "*") {
        QCOMPARE(r.fileSizeText(), fileSize);
    }
    QCOMPARE(r.percentageText(), percentage);
    QCOMPARE(filesOnDisk(), files);
}

void tst_Engines::refererPageIsOpenedFirst_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("way 1") << 1;
    QTest::newRow("way 2") << 2;
}

void tst_Engines::refererPageIsOpenedFirst()
{
    QFETCH(int, way);
    m_scheduler->options.way = WayFromNumber(way);
    m_scheduler->options.openRefererFirst = true;
    add("/pdf/19.pdf");
    runAll();
    QCOMPARE(m_host->referers, QStringList{m_site.url("/docview/1").toString()});
    QCOMPARE(m_list->at(0).state, DownloadState::Finished);
}

void tst_Engines::busyEngineSendsTheRowBack()
{
    DownloadOptions options;
    EngineLimits limits{2000ms, 1500ms, 1200s};
    SingleRequestEngine engine(EngineContext{*m_list, m_program->network(), *m_host,
                                             Build::english(), options, limits,
                                             [this] { return m_now; }});
    const quint64 first = add("/pdf/16.pdf?fault=slow&chunk=100&interval=20", "Slow");
    const quint64 second = add("/pdf/17.pdf", "Second");
    QSignalSpy ended(&engine, &DownloadEngine::ended);
    engine.start(first);
    QCOMPARE(engine.running(), 1);
    engine.start(second);
    QCOMPARE(m_list->find(second)->state, DownloadState::Waiting);
    QCOMPARE(m_list->find(second)->fileSizeText(), QString("Wait re-download"));
    QVERIFY(ended.wait(10000));
    QCOMPARE(ended.first().at(0).toULongLong(), first);
    QCOMPARE(m_list->find(first)->state, DownloadState::Finished);
}

void tst_Engines::interruptedTransferResumes_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("ifRange"); // what the second attempt sends; empty: no range
    QTest::addColumn<bool>("changed");    // the document changed in between: started over
    for (const int way : {1, 2}) {
        QTest::addRow("way %d, ETag: 206 continues", way) << way << ""
                                                          << "\"r%1-1\"" << false;
        QTest::addRow("way %d, Last-Modified: 206 continues", way)
            << way << "&validator=date"
            << "Tue, 01 Dec 2026 10:00:01 GMT" << false;
        QTest::addRow("way %d, changed: 200 starts over", way) << way << "&change=1"
                                                               << "\"r%1-1\"" << true;
        QTest::addRow("way %d, no Accept-Ranges: not kept", way) << way << "&ranges=0"
                                                                 << "" << false;
        QTest::addRow("way %d, weak ETag only: not kept", way) << way << "&validator=weak"
                                                               << "" << false;
        QTest::addRow("way %d, no validator: not kept", way) << way << "&validator=none"
                                                             << "" << false;
    }
}

// Cut off at 40%, then asked for again: the document ends byte for byte as sent whole.
void tst_Engines::interruptedTransferResumes()
{
    QFETCH(int, way);
    QFETCH(QString, query);
    QFETCH(QString, ifRange);
    QFETCH(bool, changed);
    static int id = 100;
    ++id;
    constexpr qint64 size = 300000;
    constexpr qint64 cut = 120000;
    m_scheduler->options.way = WayFromNumber(way);
    const QString path =
        QString("/resumable/%1?size=%2&cut=%3%4").arg(id).arg(size).arg(cut).arg(query);
    const quint64 row = add(path);
    runAll();
    const DownloadRow *r = m_list->find(row);
    QCOMPARE(r->state, DownloadState::Failed);
    QCOMPARE(r->downloaded, cut);
    QCOMPARE(r->percentage, std::optional<int>(40));
    const bool kept = !ifRange.isEmpty();
    QCOMPARE(!r->part.isEmpty(), kept);
    QCOMPARE(partsOnDisk().size(), kept ? 1 : 0); // nothing else is left behind
    if (kept) {
        QCOMPARE(QFileInfo(r->part.path).size(), cut);
        QCOMPARE(r->part.path, m_folder + partsOnDisk().first());
    }

    ReDownloadErrItems(*m_list, m_program->build());
    runAll();
    r = m_list->find(row);
    QCOMPARE(r->state, DownloadState::Finished);
    QVERIFY(r->part.isEmpty());
    QByteArray expected = testsite::ResumableBody(id, size);
    if (changed) {
        expected.replace(9, 8, "changed2");
    }
    QVERIFY(read(m_folder + "Doc.pdf") == expected); // byte for byte
    QCOMPARE(filesOnDisk(), QStringList{"Doc.pdf"});
    const QString asked = QString("%1 bytes=%2- %3")
                              .arg(path)
                              .arg(cut)
                              .arg(QString(ifRange).replace("%1", QString::number(id)));
    QCOMPARE(m_site.ranges.filter(QString("/resumable/%1?").arg(id)),
             kept ? QStringList{asked} : QStringList{});
}

void tst_Engines::stoppedTransferResumes_data()
{
    QTest::addColumn<int>("way");
    QTest::addRow("way 1") << 1;
    QTest::addRow("way 2") << 2;
}

// A stop, or the program closing (the list kept and read back), is an interruption too.
void tst_Engines::stoppedTransferResumes()
{
    QFETCH(int, way);
    const int id = 200 + way;
    constexpr qint64 size = 200000;
    m_scheduler->options.way = WayFromNumber(way);
    const quint64 row = add(QString("/resumable/%1?size=%2&slow=2000").arg(id).arg(size));
    m_scheduler->menuStartDownload();
    m_now += 1;
    m_scheduler->Timer_Down_Timer();
    QTRY_VERIFY(m_list->find(row)->downloaded > 10000 &&
                !m_list->find(row)->part.validator.isEmpty());
    const QString store = m_dir.filePath(QString("kept%1.json").arg(way));
    QVERIFY(SaveDownloadList(*m_list, DuplicateMode::Rename, store)); // as the writer does
    m_scheduler->menuStopDownload();
    const PartialFile part = m_list->find(row)->part;
    QVERIFY(part.resumable());
    const qint64 had = QFileInfo(part.path).size();
    QVERIFY(had > 10000);

    // Read back as a new start does: the row waits again, its part with it.
    StoredList kept;
    QCOMPARE(LoadDownloadList(store, &kept), StoreRead::Ok);
    QCOMPARE(kept.rows.first().state, DownloadState::Waiting);
    QCOMPARE(kept.rows.first().part.path, part.path);
    m_scheduler.reset();
    m_list = std::make_unique<DownloadListModel>();
    QCOMPARE(RestoreRows(*m_list, kept), 1);
    m_scheduler = std::make_unique<DownloadScheduler>(*m_list, m_program->network(), *m_host,
                                                      Build::english());
    m_scheduler->setClock([this] { return m_now; });
    m_scheduler->options.checkDocuments = false;
    m_scheduler->options.way = WayFromNumber(way);
    m_scheduler->limits = {2000ms, 1500ms, 1200s};
    runAll(60);
    QCOMPARE(m_list->at(0).state, DownloadState::Finished);
    QVERIFY(read(m_folder + "Doc.pdf") == testsite::ResumableBody(id, size));
    QCOMPARE(filesOnDisk(), QStringList{"Doc.pdf"});
    const QStringList asked = m_site.ranges.filter(QString("/resumable/%1?").arg(id));
    QCOMPARE(asked.size(), 1);
    const qint64 from = asked.first().section("bytes=", 1).section('-', 0, 0).toLongLong();
    QVERIFY2(from >= had, qPrintable(asked.first())); // not from the start
}

void tst_Engines::partGoesWithItsRow_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("clear the failed rows") << "clear failed";
    QTest::newRow("clear the selected row") << "clear selected";
    QTest::newRow("clear the whole list") << "clear all";
    QTest::newRow("delete the failed rows' files") << "delete failed";
    QTest::newRow("a new list replaces the kept one") << "replace store";
}

// No command leaves a part behind that no row lists.
void tst_Engines::partGoesWithItsRow()
{
    QFETCH(QString, command);
    static int id = 300;
    ++id;
    add(QString("/resumable/%1?size=100000&cut=50000").arg(id));
    runAll();
    QCOMPARE(partsOnDisk().size(), 1);
    const quint64 row = m_list->at(0).id;
    if (command == "clear failed") {
        QCOMPARE(ClearErrItems(*m_list), 1);
    } else if (command == "clear selected") {
        QCOMPARE(ClearSelectItems(*m_list, {row}), 1);
    } else if (command == "clear all") {
        m_list->clear();
    } else if (command == "delete failed") {
        QCOMPARE(DeleteErrItems(*m_list), 1);
        QVERIFY(m_list->find(row)->part.isEmpty());
    } else {
        // The list was kept, the user started empty, and a new list came: the old rows'
        // parts go when their store is replaced.
        const QString store = m_dir.filePath(QString("replaced%1.json").arg(id));
        QVERIFY(SaveDownloadList(*m_list, DuplicateMode::Rename, store));
        DownloadListModel fresh;
        ListStoreWriter writer(fresh, store, {});
        fresh.add(m_site.url("/pdf/1.pdf").toString(), "New", "pdf", m_folder, QString());
        QCOMPARE(partsOnDisk().size(), 1); // not before the store is replaced
        writer.flush();
    }
    QCOMPARE(partsOnDisk(), QStringList{});
}

void tst_Engines::listedPartNeverTouchesOtherFiles_data()
{
    QTest::addColumn<int>("way");
    QTest::addRow("way 1") << 1;
    QTest::addRow("way 2") << 2;
}

// A kept list is a file anybody can edit: a part that names another file is neither
// continued nor removed.
void tst_Engines::listedPartNeverTouchesOtherFiles()
{
    QFETCH(int, way);
    const int id = 400 + way;
    m_scheduler->options.way = WayFromNumber(way);
    const QString notes = m_folder + "notes.txt";
    write(notes, "the user's own notes");
    const QString path = QString("/resumable/%1?size=50000").arg(id);
    const quint64 row = add(path);
    m_list->update(row, [&](DownloadRow &r) {
        r.part = {notes, QString("\"r%1-1\"").arg(id), m_site.url(path).toString()};
    });
    runAll();
    QCOMPARE(m_list->find(row)->state, DownloadState::Finished);
    QVERIFY(read(m_folder + "Doc.pdf") == testsite::ResumableBody(id, 50000));
    QCOMPARE(m_site.ranges.filter(QString("/resumable/%1?").arg(id)), QStringList{});
    QCOMPARE(read(notes), QByteArray("the user's own notes"));
    m_list->update(row, [&](DownloadRow &r) { r.part = {notes, "\"x\"", QString()}; });
    m_list->clear();
    QCOMPARE(read(notes), QByteArray("the user's own notes"));
}

void tst_Engines::transientFailuresAreTriedAgain_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("retries");
    QTest::addColumn<int>("requests");
    QTest::addColumn<bool>("finished");
    QTest::addColumn<QString>("reason");
    for (const int way : {1, 2}) {
        QTest::addRow("way %d: cut at 40%%: tried again from where it stood?", way)
            << way << "cut=120000" << 5 << 2 << true << "";
        QTest::addRow("way %d: two server errors, then the document?", way)
            << way << "errors=2" << 5 << 3 << true << "";
        QTest::addRow("way %d: out of retries: the last failure stands?", way)
            << way << "errors=9" << 2 << 3 << false << "HTTP status 500";
        QTest::addRow("way %d: no retries: failed at once, as before?", way)
            << way << "cut=120000" << 0 << 1 << false << "*";
    }
}

void tst_Engines::transientFailuresAreTriedAgain()
{
    QFETCH(int, way);
    QFETCH(QString, query);
    QFETCH(int, retries);
    QFETCH(int, requests);
    QFETCH(bool, finished);
    QFETCH(QString, reason);
    static int id = 700;
    ++id;
    constexpr qint64 size = 300000;
    m_scheduler->options.way = WayFromNumber(way);
    m_scheduler->options.retries = retries;
    m_scheduler->options.errorStop = true;
    const QString path = QString("/resumable/%1?size=%2&%3").arg(id).arg(size).arg(query);
    const quint64 row = add(path);
    runAll(60);
    const DownloadRow *r = m_list->find(row);
    QCOMPARE(r->state, finished ? DownloadState::Finished : DownloadState::Failed);
    QCOMPARE(m_site.requests().filter(QString("/resumable/%1?").arg(id)).size(), requests);
    if (finished) {
        QVERIFY(read(m_folder + "Doc.pdf") == testsite::ResumableBody(id, size)); // byte for byte
        QCOMPARE(filesOnDisk(), QStringList{"Doc.pdf"});
        if (query.startsWith("cut")) { // only the rest was asked for
            QCOMPARE(m_site.ranges.filter(QString("/resumable/%1?").arg(id)).size(), 1);
            QVERIFY(m_site.ranges.filter(QString("/resumable/%1?").arg(id))
                        .first()
                        .contains("bytes=120000-"));
        }
    } else if (reason != "*") {
        QCOMPARE(r->reason, reason); // the last attempt's reason, not the retry note
        QCOMPARE(r->retries, retries);
        QVERIFY(!QFile::exists(m_folder + "Doc.htm")); // a server error is no page to keep
    }
}

QTEST_GUILESS_MAIN(tst_Engines)
#include "tst_engines.moc"
