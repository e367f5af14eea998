#include "common/program.h"
#include "download/downloadlist.h"
#include "download/handover.h"

#include <QTemporaryDir>
#include <QTest>

using namespace harvly;

class tst_DownloadList : public QObject
{
    Q_OBJECT

private slots:
    void emptyList();
    void countsOfAMixedList();
    void keysAreUnique();
    void rowsAreFoundByIdNotPosition();
    void localFile_data();
    void localFile();
    void handOver_data();
    void handOver();
    void columns();

private slots:
    void sortByValue_data();
    void sortByValue();

private:
    QTemporaryDir m_dir;
};

void tst_DownloadList::emptyList()
{
    DownloadListModel list;
    QVERIFY(list.IsCompletedOfDownloadListView());
    QCOMPARE(list.StatisticsNotDownloadItemNumbers(), 0);
    QCOMPARE(list.CountErrorItems(), 0);
    QCOMPARE(list.ListCountsText(), QString("Sum:0|Downloading：0|Waitting:0|Completed:0|Err:0"));
}

void tst_DownloadList::countsOfAMixedList()
{
    DownloadListModel list;
    const auto set = [&list](const QString &key, DownloadState state, const QString &type,
                             qint64 size, std::optional<int> percentage, RowNote note) {
        const quint64 id = *list.add(key, key, type, "/f/", "");
        list.update(id, [&](DownloadRow &r) {
            r.state = state;
            r.fileSize = size;
            r.percentage = percentage;
            r.note = note;
        });
    };
    const RowNote none = RowNote::None;
    set("waiting", DownloadState::Waiting, "pdf", -1, {}, none);
    set("running", DownloadState::Downloading, "pdf", -1, {}, none);
    set("done", DownloadState::Finished, "pdf", 1000, 100, none);
    set("skipped", DownloadState::Finished, "pdf", -1, {}, RowNote::AlreadyExists);
    set("page", DownloadState::Finished, "htm", 300, 100, none);
    set("failed", DownloadState::Failed, "pdf", -1, {}, RowNote::DownloadFailed);
    set("failed page", DownloadState::Failed, "HTML", -1, {}, none);
    QCOMPARE(list.ListCountsText(), QString("Sum:7|Downloading：1|Waitting:1|Completed:3|Err:2"));
    QCOMPARE(list.StatisticsNotDownloadItemNumbers(), 3); // waiting, running, failed page
    QCOMPARE(list.CountErrorItems(), 3);                  // page, failed, failed page once
    QVERIFY(!list.IsCompletedOfDownloadListView());
    list.removeIds({list.at(0).id, list.at(1).id});
    QVERIFY(list.IsCompletedOfDownloadListView());
}

void tst_DownloadList::keysAreUnique()
{
    DownloadListModel list;
    QVERIFY(list.add("http://h/a.pdf", "a", "pdf", "/f/", "ref").has_value());
    QVERIFY(!list.add("http://h/a.pdf", "other", "htm", "/g/", "").has_value());
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.at(0).text, QString("a"));
    QCOMPARE(list.at(0).state, DownloadState::Waiting);
    QVERIFY(!list.add("", "empty", "pdf", "/f/", "").has_value());
}

void tst_DownloadList::rowsAreFoundByIdNotPosition()
{
    DownloadListModel list;
    const quint64 a = *list.add("a", "a", "", "/", "");
    const quint64 b = *list.add("b", "b", "", "/", "");
    list.removeIds({a});
    QCOMPARE(list.rowOf(b), 0);
    QVERIFY(!list.update(a, [](DownloadRow &r) { r.percentage = 50; }));
    QVERIFY(list.update(b, [](DownloadRow &r) { r.percentage = 50; }));
    QCOMPARE(list.at(0).percentageText(), QString("50%"));
    QVERIFY(list.add("a", "a again", "", "/", "").has_value()); // the key is free again
}

void tst_DownloadList::localFile_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("file");
    QTest::newRow("with a type") << "pdf"
                                 << "/f/name.pdf";
    QTest::newRow("without a type") << ""
                                    << "/f/name";
}

void tst_DownloadList::localFile()
{
    QFETCH(QString, type);
    QFETCH(QString, file);
    DownloadRow r;
    r.savePath = "/f/";
    r.text = "name";
    r.type = type;
    QCOMPARE(r.localFile(), file);
}

void tst_DownloadList::handOver_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("savePath");
    QTest::addColumn<bool>("original");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("b");

    QTest::newRow("title on one line") << "http://h/1"
                                       << "Soil\r\ncarbon:\nnew data?\r"
                                       << "pdf"
                                       << "/s/" << false << "Soilcarbonnew data"
                                       << "/s/"
                                       << "";
    QTest::newRow("original name from the address") << "http://h/x/abc.pdf?y=1"
                                                    << "Title"
                                                    << "pdf"
                                                    << "/s/" << true << "abc"
                                                    << "/s/"
                                                    << "";
    QTest::newRow("no folder: the download folder") << "http://h/2"
                                                    << "T"
                                                    << "pdf"
                                                    << "" << false << "T"
                                                    << "/downloads/"
                                                    << "";
    QTest::newRow("web page marked") << "http://h/3"
                                     << "T"
                                     << "htm"
                                     << "/s/" << false << "T"
                                     << "/s/"
                                     << "Y";
    QTest::newRow("title of dots only is still a name") << "http://h/4"
                                                        << "..."
                                                        << "pdf"
                                                        << "/s/" << false << "untitled"
                                                        << "/s/"
                                                        << "";
}

void tst_DownloadList::handOver()
{
    QFETCH(QString, url);
    QFETCH(QString, title);
    QFETCH(QString, type);
    QFETCH(QString, savePath);
    QFETCH(bool, original);
    QFETCH(QString, text);
    QFETCH(QString, folder);
    QFETCH(QString, b);
    Program program(Build::english(),
                    std::make_unique<Settings>(Build::english(), m_dir.filePath("s.ini")));
    program.downloadSaveFolder = "/downloads/";
    program.useOriginalFileName = original;
    DownloadListModel list;
    QVERIFY(AddDownloadRow(list, program, url, title, type, "http://h/ref", savePath).has_value());
    QVERIFY(!AddDownloadRow(list, program, url, "again", type, "", savePath).has_value());
    QCOMPARE(list.size(), 1);
    const DownloadRow &r = list.at(0);
    QCOMPARE(r.text, text);
    QCOMPARE(r.savePath, folder);
    QCOMPARE(list.data(list.index(0, DownloadListModel::B)).toString(), b); // the B column
    QCOMPARE(r.type, type);
    QCOMPARE(r.tag, QString("http://h/ref"));
    QCOMPARE(r.key, url);
}

void tst_DownloadList::columns()
{
    DownloadListModel list;
    QCOMPARE(list.columnCount(), 7);
    const QStringList captions{"Title",      "Type",     "FileSize", "Downloaded",
                               "percentage", "SavePath", "B"};
    for (int c = 0; c < 7; ++c) {
        QCOMPARE(list.headerData(c, Qt::Horizontal).toString(), captions.at(c));
    }
    QCOMPARE(DownloadListModel::columnWidthTwips(0), 10583);
    QCOMPARE(DownloadListModel::columnWidthTwips(6), 2540);
    list.add("k", "t", "pdf", "/", "");
    const auto align = list.data(list.index(0, DownloadListModel::FileSize), Qt::TextAlignmentRole)
                           .value<Qt::Alignment>();
    QVERIFY(align & Qt::AlignRight);
    QCOMPARE(list.data(list.index(0, 0), Qt::UserRole).toInt(), 1);
}

void tst_DownloadList::sortByValue_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("order");
    QTest::addColumn<QStringList>("titles");
    const int asc = int(Qt::AscendingOrder);
    QTest::newRow("size by number, not by text; texts last")
        << int(DownloadListModel::FileSize) << asc
        << QStringList{"nine", "ten", "hundred", "failed"};
    QTest::newRow("size descending") << int(DownloadListModel::FileSize) << int(Qt::DescendingOrder)
                                     << QStringList{"failed", "hundred", "ten", "nine"};
    QTest::newRow("percentage by number") << int(DownloadListModel::Percentage) << asc
                                          << QStringList{"failed", "nine", "hundred", "ten"};
    QTest::newRow("title by text")
        << int(DownloadListModel::Title) << asc << QStringList{"failed", "hundred", "nine", "ten"};
}

void tst_DownloadList::sortByValue()
{
    QFETCH(int, column);
    QFETCH(int, order);
    QFETCH(QStringList, titles);
    DownloadListModel list;
    const auto add = [&list](const QString &title, qint64 size, std::optional<int> percent,
                             RowNote note) {
        const quint64 id = *list.add("http://h/" + title, title, "pdf", "/f/", "");
        list.update(id, [&](DownloadRow &r) {
            r.fileSize = size;
            r.downloaded = size;
            r.percentage = percent;
            r.note = note;
        });
        return id;
    };
    const quint64 ten = add("ten", 10, 100, RowNote::None);
    add("hundred", 100, 50, RowNote::None);
    add("nine", 9, 5, RowNote::None);
    add("failed", -1, {}, RowNote::DownloadFailed);
    list.sort(column, Qt::SortOrder(order));
    QStringList got;
    for (int i = 0; i < list.size(); ++i) {
        got << list.at(i).text;
    }
    QCOMPARE(got, titles);
    QCOMPARE(list.at(list.rowOf(ten)).text, QString("ten")); // rows still found by id
    QCOMPARE(list.at(0).fileSizeText(), list.data(list.index(0, 2)).toString()); // texts kept
}

QTEST_GUILESS_MAIN(tst_DownloadList)
#include "tst_downloadlist.moc"
