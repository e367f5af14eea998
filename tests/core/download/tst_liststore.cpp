#include "download/liststore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace harvly;

// The download list kept between runs.
class tst_ListStore : public QObject
{
    Q_OBJECT

private slots:
    void mixedListComesBack();
    void unreadableStoresAreSetAside_data();
    void unreadableStoresAreSetAside();
    void writerWaitsForAListAndWritesAtMostOnceASecond();
    void restoreAddsNoRowTwice();
    void keptFileFollowsEveryKindOfChange();
    void fileNamedJustBeforeACrashIsNotFetchedAgain();

private:
    QTemporaryDir m_dir;
};

void tst_ListStore::mixedListComesBack()
{
    DownloadListModel list;
    const auto add = [&](const QString &key, DownloadState state,
                         const std::function<void(DownloadRow &)> &more = {}) {
        const quint64 id = *list.add(key, "Title " + key.right(1), "pdf", "/data/", "http://ref/");
        list.update(id, [&](DownloadRow &r) {
            r.state = state;
            if (more) {
                more(r);
            }
        });
    };
    // Texts the store must carry as they are: quotes, backslashes, control characters, CJK.
    const QString odd = QString::fromUtf8("Title \"q\" \\ back\tslash\x01 \u4e2d\u6587 \U0001F600");
    add("http://h/1", DownloadState::Waiting, [&](DownloadRow &r) { r.text = odd; });
    add("http://h/2", DownloadState::Downloading, [](DownloadRow &r) {
        r.fileSize = 1000;
        r.downloaded = 600; // a partial row
        r.percentage = 60;
        r.part = {"/data/.harvly-0a1b2c3d.part", "\"v1\"", "http://h/2"};
    });
    // A row with the record of its page: Chinese and Latin names, a date of two parts.
    CitationRecord record;
    record.title = "Rice 水稻 \"quoted\"";
    record.authors = {{"Smith", "Ann", ""}, {"", "", "王小明"}};
    record.issued = {2021, 3, 0};
    record.containerTitle = "Journal";
    record.firstPage = "5";
    record.lastPage = "9";
    record.doi = "10.5555/x";
    record.keywords = {"rice", "水"};
    record.pdfUrl = "http://h/3.pdf";
    record.pageUrl = "http://h/page/3";
    add("http://h/3", DownloadState::Finished, [&record](DownloadRow &r) {
        r.fileSize = r.downloaded = 2048;
        r.percentage = 100;
        r.queuedAsPage = true;
        r.record = ShareRecord(record);
    });
    add("http://h/4", DownloadState::Failed, [](DownloadRow &r) {
        r.note = RowNote::DownloadFailed;
        r.reason = "connection reset";
        r.busyAnswers = 2;
        r.sizeUnknown = true;
        r.earlier = "/data/Fourth.pdf"; // a re-download failed: its earlier file stays its own
    });
    const QString file = m_dir.filePath("list.json");
    QVERIFY(SaveDownloadList(list, DuplicateMode::Skip, file));
    StoredList stored;
    QCOMPARE(LoadDownloadList(file, &stored), StoreRead::Ok);
    QCOMPARE(stored.mode, DuplicateMode::Skip);
    QCOMPARE(stored.rows.size(), 4);
    QCOMPARE(stored.rows.at(0).text, odd);
    const DownloadRow &partial = stored.rows.at(1);
    QCOMPARE(partial.state, DownloadState::Waiting); // was Downloading
    QCOMPARE(partial.downloaded, qint64(-1));
    QCOMPARE(partial.part, PartialFile({"/data/.harvly-0a1b2c3d.part", "\"v1\"", "http://h/2"}));
    const DownloadRow &done = stored.rows.at(2);
    QCOMPARE(done.state, DownloadState::Finished);
    QCOMPARE(done.fileSize, qint64(2048));
    QCOMPARE(done.percentage, std::optional<int>(100));
    QVERIFY(done.queuedAsPage);
    QCOMPARE(done.tag, QString("http://ref/"));
    QCOMPARE(done.savePath, QString("/data/"));
    QVERIFY(done.record);
    QCOMPARE(*done.record, record);
    QVERIFY(!stored.rows.at(0).record); // rows without one, as older stores hold them
    const DownloadRow &failed = stored.rows.at(3);
    QCOMPARE(failed.note, RowNote::DownloadFailed);
    QCOMPARE(failed.reason, QString("connection reset"));
    QCOMPARE(failed.busyAnswers, 2);
    QCOMPARE(failed.earlier, QString("/data/Fourth.pdf"));
    QVERIFY(failed.sizeUnknown);
    QVERIFY(!failed.percentage);
    DownloadListModel again;
    QCOMPARE(RestoreRows(again, stored), 4);
    QCOMPARE(again.at(3).fileSizeText(), list.at(3).fileSizeText());
    QCOMPARE(again.at(2).percentageText(), QString("100%"));
    QVERIFY(again.at(2).record && again.at(2).record->doi == record.doi);
}

void tst_ListStore::unreadableStoresAreSetAside_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("result");
    QTest::newRow("cut in the middle")
        << QByteArray("{\"version\":1,\"rows\":[{\"key\":") << int(StoreRead::Damaged);
    QTest::newRow("a newer program's")
        << QByteArray("{\"version\":9,\"rows\":[]}") << int(StoreRead::FutureVersion);
    QTest::newRow("a row without its address")
        << QByteArray("{\"version\":1,\"rows\":[{\"state\":1}]}") << int(StoreRead::Damaged);
    QTest::newRow("not a list") << QByteArray("[1,2,3]") << int(StoreRead::Damaged);
}

void tst_ListStore::unreadableStoresAreSetAside()
{
    QFETCH(QByteArray, content);
    QFETCH(int, result);
    const QString file = m_dir.filePath(QString("bad-%1.json").arg(QTest::currentDataTag()));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    QString why;
    QCOMPARE(int(LoadDownloadList(file, nullptr, &why)), result);
    QVERIFY(!why.isEmpty());
    const QString aside = SetStoreAside(file);
    QVERIFY(!QFile::exists(file));
    QFile kept(aside);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), content); // never dropped
    QCOMPARE(LoadDownloadList(file, nullptr), StoreRead::Missing);
}

void tst_ListStore::writerWaitsForAListAndWritesAtMostOnceASecond()
{
    const QString file = m_dir.filePath("kept.json");
    DownloadListModel old;
    old.add("http://h/old", "Old", "pdf", "/d/", "");
    QVERIFY(SaveDownloadList(old, DuplicateMode::Rename, file));
    DownloadListModel list;
    ListStoreWriter writer(list, file, [] { return DuplicateMode::Cover; });
    writer.flush(); // nothing changed: the old store stays (a declined restore)
    StoredList stored;
    QCOMPARE(LoadDownloadList(file, &stored), StoreRead::Ok);
    QCOMPARE(stored.rows.first().key, QString("http://h/old"));
    // The first row of a new list replaces it, a second later or at flush.
    const quint64 id = *list.add("http://h/new", "New", "pdf", "/d/", "");
    for (int i = 0; i < 50; ++i) {
        list.update(id, [i](DownloadRow &r) { r.downloaded = i; });
    }
    QCOMPARE(LoadDownloadList(file, &stored), StoreRead::Ok);
    QCOMPARE(stored.rows.first().key, QString("http://h/old")); // not at every change
    QTRY_VERIFY_WITH_TIMEOUT(LoadDownloadList(file, &stored) == StoreRead::Ok &&
                                 stored.rows.first().key == "http://h/new",
                             3000);
    QCOMPARE(stored.mode, DuplicateMode::Cover);
    // A part that can be continued is written at once: a crash must not orphan it.
    list.update(id, [](DownloadRow &r) { r.downloaded = 99; });
    list.update(id, [](DownloadRow &r) {
        r.part = {"/d/.harvly-1.part", "\"e\"", "http://h/new"};
    });
    QTRY_VERIFY_WITH_TIMEOUT(LoadDownloadList(file, &stored) == StoreRead::Ok &&
                                 stored.rows.first().part.path == "/d/.harvly-1.part",
                             500); // well before the second is over
    QCOMPARE(stored.rows.first().downloaded, qint64(99));
    list.update(id, [](DownloadRow &r) { r.part = {}; });
    list.clear(); // emptying a list that stands for the store is kept too
    writer.flush();
    QCOMPARE(LoadDownloadList(file, &stored), StoreRead::Ok);
    QVERIFY(stored.rows.isEmpty());
}

// The writer keeps each row as it writes it and makes again only what changed: whatever the
// list went through, the kept file is what writing the whole list at once gives.
void tst_ListStore::keptFileFollowsEveryKindOfChange()
{
    const QString file = m_dir.filePath("followed.json");
    DownloadListModel list;
    for (int i = 0; i < 5; ++i) { // rows before the writer
        list.add(QString("http://h/a%1").arg(i), QString("A %1").arg(i), "pdf", "/d/", "");
    }
    ListStoreWriter writer(list, file, [] { return DuplicateMode::Rename; });
    writer.adopt();
    QList<quint64> ids;
    for (int i = 0; i < 8; ++i) {
        ids << *list.add(QString("http://h/b%1").arg(i), QString("B %1").arg(i), "pdf", "/d/", "");
    }
    list.removeIds({ids.at(2), list.at(0).id});
    list.sort(1, Qt::DescendingOrder);
    QList<quint64> order;
    for (int i = list.size() - 1; i >= 0; --i) {
        order << list.at(i).id;
    }
    list.setOrder(order);
    // A row that ends is written at once, in the background; the list changes meanwhile.
    list.update(ids.at(0), [](DownloadRow &r) { r.state = DownloadState::Finished; });
    list.update(ids.at(1), [](DownloadRow &r) {
        r.downloaded = 77;
        r.text = "Renamed, \"quoted\" 中文";
    });
    list.add("http://h/last", "Last", "htm", "/d/", "");
    list.update(ids.at(3), [](DownloadRow &r) { r.state = DownloadState::Failed; });
    writer.flush();
    // The counts the window shows follow the same changes.
    for (const DownloadState state : {DownloadState::Waiting, DownloadState::Downloading,
                                      DownloadState::Finished, DownloadState::Failed}) {
        QCOMPARE(list.countState(state),
                 int(std::count_if(list.rows().begin(), list.rows().end(),
                                   [state](const DownloadRow &r) { return r.state == state; })));
    }
    QFile kept(file);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    const QString whole = m_dir.filePath("whole.json");
    QVERIFY(SaveDownloadList(list, DuplicateMode::Rename, whole));
    QFile expected(whole);
    QVERIFY(expected.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), expected.readAll());
}

void tst_ListStore::restoreAddsNoRowTwice()
{
    DownloadListModel list;
    list.add("http://h/1", "One", "pdf", "/d/", "");
    StoredList stored;
    DownloadRow a;
    a.key = "http://h/1";
    DownloadRow b;
    b.key = "http://h/2";
    b.state = DownloadState::Finished;
    stored.rows = {a, b};
    QCOMPARE(RestoreRows(list, stored), 1);
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(1).state, DownloadState::Finished);
}

// The journal: a crash between a file taking its name and the next write of the list.
void tst_ListStore::fileNamedJustBeforeACrashIsNotFetchedAgain()
{
    const QString file = m_dir.filePath("journaled.json");
    const QString folder = m_dir.filePath("dl") + "/";
    QDir().mkpath(folder);
    DownloadListModel list;
    ListStoreWriter writer(list, file, {});
    writer.adopt();
    QList<quint64> ids;
    for (const QString name : {"Placed", "NotYetPlaced", "Vanished"}) {
        const quint64 id = *list.add("http://h/" + name, name, "pdf", folder, "");
        list.update(id, [](DownloadRow &r) { r.state = DownloadState::Downloading; });
        ids << id;
    }
    writer.flush(); // the store knows three rows Downloading
    const auto make = [](const QString &path, const QByteArray &bytes) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    make(folder + ".harvly-aaaaaaaa.part", "%PDF-1.4 placed");
    make(folder + ".harvly-bbbbbbbb.part", "%PDF-1.4 not yet");
    list.notePlacing(ids[0], folder + ".harvly-aaaaaaaa.part", folder + "Placed[0001].pdf");
    QVERIFY(QFile::rename(folder + ".harvly-aaaaaaaa.part", folder + "Placed[0001].pdf"));
    list.notePlacing(ids[1], folder + ".harvly-bbbbbbbb.part", folder + "NotYetPlaced.pdf");
    list.notePlacing(ids[2], folder + ".harvly-cccccccc.part", folder + "Vanished.pdf");
    // The process dies here: the store was not written again.
    StoredList stored;
    QCOMPARE(LoadDownloadList(file, &stored), StoreRead::Ok);
    QCOMPARE(stored.rows.at(0).state, DownloadState::Finished);
    QCOMPARE(stored.rows.at(0).text, QString("Placed[0001]"));
    QCOMPARE(stored.rows.at(0).localFile(), folder + "Placed[0001].pdf");
    QCOMPARE(stored.rows.at(0).fileSize, qint64(15));
    QCOMPARE(stored.rows.at(0).percentageText(), QString("100%"));
    QCOMPARE(stored.rows.at(1).state, DownloadState::Waiting); // not renamed: fetched again
    QCOMPARE(stored.rows.at(2).state, DownloadState::Waiting); // no file: fetched again
    // A write that covers the journal empties it.
    QVERIFY(QFileInfo(file + ".journal").size() > 0);
    list.update(ids[0], [](DownloadRow &r) { r.state = DownloadState::Finished; });
    writer.flush();
    QCOMPARE(QFileInfo(file + ".journal").size(), qint64(0));
}

QTEST_GUILESS_MAIN(tst_ListStore)
#include "tst_liststore.moc"
