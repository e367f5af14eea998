#include "app/workspace.h"
#include "common/program.h"
#include "common/settings.h"
#include "download/downloadlist.h"
#include "download/ffiledownload.h"
#include "download/scheduler.h"
#include "search/fwebsearch.h"
#include "support/cachewriter.h"
#include "support/chinesetexts.h"
#include "support/webenginetest.h"
#include "tools/cachefolders.h"
#include "tools/fiecache.h"
#include "tools/formcopymove.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QCoro/QCoroTask>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTreeView>

using namespace harvly;

// The browser cache window and the copy window it hands documents to.
class tst_fIEcache : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void myCacheListsTheDocuments();
    void emptyAndDamagedCaches();
    void deleteSelectedKeepsTheRestAndCookies();
    void allUsersCachesWalked();
    void sizesSortAsNumbers();
    void copyTheSelectedWritesTheDocumentsOut();
    void copyOfMissingFilesOpensAnEmptyCopy();
    void copyingTwiceCoversTheFirstCopies();
    void copyWindowStoresItsChoices();
    void copyWindowCannotMakeTheFolder();
    void chineseTexts();
    void clearCacheAndItsRefusalDuringDownloads();

private:
    QString myCache() const { return m_dir.filePath("me/cache"); }
    QString myData() const { return myCache() + "/Cache/Cache_Data"; }
    QString entry(const QString &address, const QByteArray &body,
                  const QByteArray &type = "application/pdf", const QString &data = {})
    {
        CacheEntryWriter w;
        w.address = address;
        w.body = body;
        w.headers = {"Content-Type: " + type};
        return w.writeTo(data.isEmpty() ? myData() : data);
    }
    QStringList column(fIEcache &w, int c) const
    {
        QStringList out;
        auto *model = w.entries()->model();
        for (int i = 0; i < model->rowCount(); ++i) {
            out << model->index(i, c).data().toString();
        }
        return out;
    }
    void select(fIEcache &w, int row)
    {
        w.entries()->selectionModel()->select(w.entries()->model()->index(row, 0),
                                              QItemSelectionModel::Select |
                                                  QItemSelectionModel::Rows);
    }
    std::unique_ptr<fIEcache> window()
    {
        auto w = std::make_unique<fIEcache>(*m_program, myCache());
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->homes = {m_dir.filePath("home/ann"), m_dir.filePath("home/bob")};
        w->tell = [this](const QString &t, bool) { m_told << t; };
        return w;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Program> m_program;
    QStringList m_told;
};

void tst_fIEcache::init()
{
    QDir(m_dir.path()).removeRecursively();
    QDir().mkpath(m_dir.path());
    const Build build = Build::english();
    m_program = std::make_unique<Program>(
        build, std::make_unique<Settings>(build, m_dir.filePath("settings.ini")));
    WriteCacheIndex(myData());
    m_told.clear();
}

void tst_fIEcache::cleanup()
{
    m_program.reset();
}

void tst_fIEcache::myCacheListsTheDocuments()
{
    entry("http://h/pdf/1.pdf", "%PDF-1 one");
    entry("http://h/docview/1", "<html>page</html>", "text/html; charset=utf-8");
    auto w = window();
    QCOMPARE(
        w->windowTitle(),
        QString("IE browser cache Cookie  and history list-Harvly Retrieving Download Manager"));
    w->findChild<QPushButton *>("Command1")->click();
    QCOMPARE(w->countText(), QString("Sum:2  files"));
    QStringList urls = column(*w, 0);
    urls.sort();
    QCOMPARE(urls, (QStringList{"http://h/docview/1", "http://h/pdf/1.pdf"}));
    const int pdf = column(*w, 0).indexOf("http://h/pdf/1.pdf");
    QCOMPARE(column(*w, 1).at(pdf), QString("pdf"));
    QCOMPARE(column(*w, 2).at(pdf), QString("10")); // the document's size, not the entry file's
    QVERIFY(column(*w, 3).at(pdf).startsWith(myData()));
}

void tst_fIEcache::emptyAndDamagedCaches()
{
    auto w = window();
    w->Command1_Click();
    QCOMPARE(w->countText(), QString("Sum:0  files"));
    entry("http://h/a.pdf", "a");
    QFile junk(QDir(myData()).filePath("00000000000000aa_0"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not an entry at all, just some bytes here");
    junk.close();
    w->Command1_Click();
    QCOMPARE(
        w->countText(),
        QString("Err!!!1 Files  (1 entries unreadable: 00000000000000aa_0: not a cache entry)"));
    QVERIFY(junk.exists()); // reading deletes nothing
}

void tst_fIEcache::deleteSelectedKeepsTheRestAndCookies()
{
    const QString a = entry("http://h/a.pdf", "a");
    const QString b = entry("http://h/b.pdf", "b");
    const QString c = entry("http://h/c.pdf", "c");
    const QString cookie = entry("http://h/setCookie?x=1", "k", "text/html");
    auto w = window();
    w->Command1_Click();
    auto *header = w->entries()->header();
    emit header->sectionClicked(0);
    emit header->sectionClicked(0); // by address, ascending: the cookie's entry is last
    QCOMPARE(column(*w, 0).last(), QString("http://h/setCookie?x=1"));
    select(*w, 3);
    w->findChild<QPushButton *>("Command2")->click();
    QVERIFY(QFile::exists(cookie)); // an address with "Cookie" is never deleted
    QCOMPARE(w->countText(), QString("Sum:4  files"));
    select(*w, column(*w, 0).indexOf("http://h/c.pdf"));
    w->findChild<QPushButton *>("Command2")->click();
    QVERIFY(!QFile::exists(c));
    QVERIFY(QFile::exists(a) && QFile::exists(b));     // unselected rows untouched
    QCOMPARE(w->countText(), QString("Sum:3  files")); // the view rebuilt
    w->findChild<QPushButton *>("Command3")->click();  // "Delete all"
    QVERIFY(!QFile::exists(a));
    QVERIFY(!QFile::exists(b));
    QVERIFY(QFile::exists(cookie));
    QCOMPARE(w->countText(), QString("Sum:1  files"));
}

void tst_fIEcache::allUsersCachesWalked()
{
    const QString title = m_program->build().applicationTitle;
    const QString ann = ProgramCacheFolder(title, m_dir.filePath("home/ann"));
    const QString data = ann + "/Cache/Cache_Data";
    WriteCacheIndex(data);
    const QString doc = entry("http://h/ann.pdf", "%PDF ann", "application/pdf", data);
    QFile notes(ann + "/notes.txt");
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("keep me");
    notes.close();
    QDir().mkpath(ann + "/Cache/empty/deeper");
    QDir().mkpath(m_dir.filePath("home/bob")); // bob has no cache of the program
    auto w = window();
    w->findChild<QPushButton *>("Command7")->click();
    auto *users = w->findChild<QTreeView *>("ListView2")->model();
    QCOMPARE(users->rowCount(), 1);
    QCOMPARE(users->index(0, 0).data().toString(), QString("ann"));
    QCOMPARE(users->index(0, 1).data().toString(), ann);
    QCOMPARE(w->findChild<QTreeView *>("ListView3")->model()->rowCount(), 4);
    QCOMPARE(w->countText(), QString("3 Files")); // index, the entry, notes.txt
    const int at = column(*w, 3).indexOf(doc);
    QVERIFY(at >= 0);
    QCOMPARE(column(*w, 0).at(at), QString("User:ann"));
    QCOMPARE(column(*w, 1).at(at), QString("pdf")); // the document's type and size
    QCOMPARE(column(*w, 2).at(at), QString("8"));
    w->Command3_Click();
    QVERIFY(!QFile::exists(doc));
    QVERIFY(QFile::exists(ann + "/notes.txt"));    // walked text files stay
    QVERIFY(!QDir(ann + "/Cache/empty").exists()); // empty folders removed, deepest first
    QCOMPARE(w->countText(), QString("1 Files"));
}

void tst_fIEcache::sizesSortAsNumbers()
{
    entry("http://h/9.pdf", QByteArray(9, 'x'));
    entry("http://h/100.pdf", QByteArray(100, 'x'));
    entry("http://h/10.pdf", QByteArray(10, 'x'));
    auto w = window();
    w->Command1_Click();
    auto *header = w->entries()->header();
    emit header->sectionClicked(2);
    QCOMPARE(column(*w, 2), (QStringList{"100", "10", "9"})); // descending first
    emit header->sectionClicked(2);
    QCOMPARE(column(*w, 2), (QStringList{"9", "10", "100"}));
    // One order for all columns: the next click, on another column, sorts descending.
    emit header->sectionClicked(0);
    emit header->sectionClicked(2);
    QCOMPARE(column(*w, 2), (QStringList{"9", "10", "100"}));
}

void tst_fIEcache::copyTheSelectedWritesTheDocumentsOut()
{
    CacheEntryWriter named;
    named.address = "http://h/get?id=7";
    named.body = "%PDF-1.4 seven";
    named.headers = {"Content-Type: application/pdf",
                     "Content-Disposition: attachment; filename=\"Paper: seven.pdf\""};
    named.writeTo(myData());
    entry("http://h/pdf/8.pdf", "%PDF-1.4 eight");
    auto w = window();
    w->Command1_Click();
    select(*w, 0);
    select(*w, 1);
    QCoro::waitFor(w->Command6_Click());
    Form_Copy_Move *copy = w->copyWindow();
    QVERIFY(copy && copy->isVisible());
    QCOMPARE(copy->windowTitle(), QString("Copy Files：2  files..."));
    QVERIFY(!copy->MoveFiles);
    const QString dest = m_dir.filePath("out");
    copy->listFile = m_dir.filePath("SaveList.dat");
    copy->findChild<QComboBox *>("Combo1")->setCurrentText(dest);
    QStringList told;
    copy->tell = [&told](const QString &t, bool) { told << t; };
    QCoro::waitFor(copy->CopyOrMoveFile(true));
    QCOMPARE(told, QStringList{"Copy the files completed!"});
    QFile seven(dest + "/Paper seven.pdf"); // named by the server, made valid
    QVERIFY(seven.open(QIODevice::ReadOnly));
    QCOMPARE(seven.readAll(), QByteArray("%PDF-1.4 seven"));
    QVERIFY(QFile::exists(dest + "/8.pdf"));
    const QString staged = copy->FileFullPathCollection.first();
    copy->findChild<QPushButton *>("Command2")->click();
    QTRY_VERIFY(!w->copyWindow());
    QVERIFY(!QFile::exists(staged)); // the written documents went with the window
}

void tst_fIEcache::copyingTwiceCoversTheFirstCopies()
{
    const QDateTime stored = QDateTime::currentDateTime().addDays(-3).addSecs(-7);
    for (const QString &file : {entry("http://h/pdf/8.pdf", "%PDF-1.4 eight"),
                                entry("http://h/pdf/9.pdf", "%PDF-1.4 nine")}) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::Append));
        QVERIFY(f.setFileTime(stored, QFileDevice::FileModificationTime));
    }
    const QString dest = m_dir.filePath("twice");
    for (int round = 0; round < 2; ++round) {
        auto w = window();
        w->Command1_Click();
        select(*w, 0);
        select(*w, 1);
        QCoro::waitFor(w->Command6_Click());
        Form_Copy_Move *copy = w->copyWindow();
        QVERIFY(copy);
        copy->listFile = m_dir.filePath("SaveList.dat");
        copy->findChild<QComboBox *>("Combo1")->setCurrentText(dest);
        copy->tell = [](const QString &, bool) {};
        QCoro::waitFor(copy->CopyOrMoveFile(true));
        copy->findChild<QPushButton *>("Command2")->click();
        QTRY_VERIFY(!w->copyWindow());
        // Each copy has the time the cache stored it, whenever it was written out.
        QCOMPARE(QFileInfo(dest + "/8.pdf").lastModified().toSecsSinceEpoch(),
                 stored.toSecsSinceEpoch());
    }
    // The default rule covers a file of the same size and time: the same documents again.
    QCOMPARE(QDir(dest).entryList(QDir::Files, QDir::Name), (QStringList{"8.pdf", "9.pdf"}));
}

void tst_fIEcache::copyOfMissingFilesOpensAnEmptyCopy()
{
    const QString file = entry("http://h/a.pdf", "a");
    auto w = window();
    w->Command1_Click();
    QFile::remove(file);
    select(*w, 0);
    QCoro::waitFor(w->Command6_Click());
    QVERIFY(w->copyWindow());
    QCOMPARE(w->copyWindow()->windowTitle(), QString("Copy Files：0  files..."));
    w->copyWindow()->close();
}

void tst_fIEcache::copyWindowStoresItsChoices()
{
    Form_Copy_Move copy(*m_program);
    copy.listFile = m_dir.filePath("SaveList.dat");
    copy.Form_Load();
    QCOMPARE(copy.windowTitle(), QString("Copy Files...-Harvly Retrieving Download Manager"));
    QCOMPARE(int(copy.rule()), 4); // the default rule
    copy.findChild<QRadioButton *>("Option1_5")->setChecked(true);
    const QString dest = m_dir.filePath("chosen");
    copy.findChild<QComboBox *>("Combo1")->setCurrentText(dest);
    // An empty collection: the choices are stored, nothing else happens.
    QCoro::waitFor(copy.CopyOrMoveFile(true));
    QCOMPARE(m_program->settings().get(Keys::CopyMoveOpIndex), 5);
    QCOMPARE(m_program->settings().get(Keys::CopyMoveDestinationFolder), dest + "/");
    QFile list(m_dir.filePath("SaveList.dat"));
    QVERIFY(list.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(list.readAll()).contains(dest + "/"));
    Form_Copy_Move again(*m_program);
    again.listFile = m_dir.filePath("SaveList.dat");
    again.MoveFiles = true;
    again.Form_Load();
    QCOMPARE(int(again.rule()), 5);
    QCOMPARE(again.findChild<QComboBox *>("Combo1")->currentText(), dest + "/");
    QCOMPARE(again.windowTitle(), QString("Move Files..-Harvly Retrieving Download Manager"));
}

void tst_fIEcache::copyWindowCannotMakeTheFolder()
{
    QFile blocker(m_dir.filePath("afile"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Form_Copy_Move copy(*m_program);
    copy.listFile = m_dir.filePath("SaveList.dat");
    copy.Form_Load();
    copy.FileFullPathCollection = {blocker.fileName()};
    QStringList told;
    copy.tell = [&told](const QString &t, bool) { told << t; };
    copy.findChild<QComboBox *>("Combo1")->setCurrentText(m_dir.filePath("afile/sub"));
    QCoro::waitFor(copy.CopyOrMoveFile(true));
    QCOMPARE(told, QStringList{"Create Folder error！"});
}

void tst_fIEcache::chineseTexts()
{
    const ChineseTexts texts;
    QVERIFY(texts.loaded());
    const Build build = Build::chinese();
    Program program(build, std::make_unique<Settings>(build, m_dir.filePath("zh.ini")));
    entry("http://h/a.pdf", "a");
    fIEcache w(program, myCache());
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    w.homes = {m_dir.filePath("home/ann")};
    const QString ann = ProgramCacheFolder(build.applicationTitle, m_dir.filePath("home/ann"));
    WriteCacheIndex(ann + "/Cache/Cache_Data");
    w.Command1_Click();
    QCOMPARE(w.countText(), QString("共有1 个文件"));
    w.Command7_Click();
    QCOMPARE(w.countText(), QString("共有1 个文件"));
    QCOMPARE(w.entries()->model()->index(0, 0).data().toString(), QString("用户:ann"));
    w.Command1_Click();
    select(w, 0);
    QCoro::waitFor(w.Command6_Click());
    QCOMPARE(w.copyWindow()->windowTitle(), QString("复制文件：1 个文件..."));
    QCOMPARE(w.copyWindow()->findChild<QPushButton *>("Command1")->text(), QString("开始"));
    w.copyWindow()->close();
}

void tst_fIEcache::clearCacheAndItsRefusalDuringDownloads()
{
    const Build build = Build::english();
    Workspace workspace(*m_program, m_dir.filePath("browser"));
    workspace.cacheHomes = {m_dir.filePath("home/nobody")};
    const QString data = workspace.browserCacheFolder() + "/Cache/Cache_Data";
    WriteCacheIndex(data);
    const QString doc = entry("http://h/a.pdf", "a", "application/pdf", data);
    const QString cookie = entry("http://h/Cookie", "c", "text/html", data);
    fFileDownload *downloads = workspace.downloadWindow();
    downloads->list().add("http://127.0.0.1:1/x.pdf", "X", "pdf", m_dir.filePath("dl") + "/",
                          QString());
    downloads->list().update(downloads->list().at(0).id,
                             [](DownloadRow &r) { r.state = DownloadState::Failed; });
    downloads->scheduler().menuStartDownload(); // the download timer runs
    const auto boxWith = [](const QString &text) {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (box && box->isVisible() && box->text() == text) {
                box->close();
                return true;
            }
        }
        return false;
    };
    downloads->findChild<QAction *>("menuClearIEcach")->trigger();
    QVERIFY(boxWith("Stop downloading later to perform this operation!"));
    QVERIFY(QFile::exists(doc));
    QVERIFY(!workspace.ClearIECache(nullptr, false)); // silent, refused all the same
    downloads->scheduler().menuStopDownload();
    QVERIFY(workspace.ClearIECache(nullptr, true));
    QVERIFY(boxWith("IE cache Clear completed！"));
    QVERIFY(!QFile::exists(doc));
    QVERIFY(QFile::exists(cookie));
    // "Check IE cach" of the search window opens the window over the program's own cache.
    workspace.searchWindow()->findChild<QAction *>("menuCheckIEcach")->trigger();
    fIEcache *cache = workspace.cacheWindow();
    QVERIFY(cache->isVisible());
    cache->Command1_Click();
    QCOMPARE(cache->countText(), QString("Sum:1  files"));
}

HARVLY_WEBENGINE_TEST_MAIN(tst_fIEcache)
#include "tst_fiecache.moc"
