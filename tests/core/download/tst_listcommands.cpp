#include "download/downloadlist.h"
#include "download/listcommands.h"
#include "download/menurule.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <random>

using namespace harvly;

// The download list's bulk commands: which rows each touches, what it resets, what it leaves.
class tst_ListCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void reQueueing_data();
    void reQueueing();
    void reQueuedRowIsReset();
    void unconfirmedRowsAreCountedAndFetchedAgain();
    void doubleClickReQueuesOnlyFailedRows();
    void sizeLimitReQueue_data();
    void sizeLimitReQueue();
    void alternativeAddressesRotate_data();
    void alternativeAddressesRotate();
    void clearing_data();
    void clearing();
    void deletingFilesKeepsTheRows();
    void cancelTakesOnlyWaitingRows();
    void titles_data();
    void titles();
    void missingFilesAreMarked();
    void notExistMarkGoesWithTheFile();
    void shuffleKeepsEveryRowOnce_data();
    void shuffleKeepsEveryRowOnce();
    void urlReplace_data();
    void urlReplace();
    void replacementChainKeepsTheAddressIndex_data();
    void replacementChainKeepsTheAddressIndex();
    void textEditorSizeRule_data();
    void textEditorSizeRule();
    void listMenuFollowsTheDownloads();

private:
    // Rows: a Waiting pdf, a Downloading pdf, a Finished pdf, a Failed pdf, a Finished htm,
    // a Failed xml; the finished and failed ones have files.
    void fill()
    {
        add("waiting", DownloadState::Waiting, "pdf", false);
        add("running", DownloadState::Downloading, "pdf", false);
        add("done", DownloadState::Finished, "pdf", true);
        add("failed", DownloadState::Failed, "pdf", true);
        add("page", DownloadState::Finished, "htm", true);
        add("xml", DownloadState::Failed, "xml", true);
    }
    quint64 add(const QString &name, DownloadState state, const QString &type, bool file,
                qint64 size = 100)
    {
        const quint64 id = *m_list->add("http://site/" + name, name, type, m_folder, "");
        m_list->update(id, [&](DownloadRow &r) {
            r.state = state;
            if (state == DownloadState::Finished) {
                r.fileSize = size;
                r.downloaded = size;
                r.percentage = 100;
            }
            if (state == DownloadState::Failed) {
                r.note = RowNote::DownloadFailed;
                r.reason = "connection reset";
            }
        });
        if (file) {
            QFile f(m_list->find(id)->localFile());
            if (f.open(QIODevice::WriteOnly)) {
                f.write("data");
            }
        }
        return id;
    }
    QStringList titlesIn(DownloadState state) const
    {
        QStringList out;
        for (int i = 0; i < m_list->size(); ++i) {
            if (m_list->at(i).state == state) {
                out << m_list->at(i).text;
            }
        }
        return out;
    }
    QSet<quint64> idsOf(const QStringList &names) const
    {
        QSet<quint64> out;
        for (int i = 0; i < m_list->size(); ++i) {
            if (names.contains(m_list->at(i).text)) {
                out.insert(m_list->at(i).id);
            }
        }
        return out;
    }

    QTemporaryDir m_dir;
    QString m_folder;
    std::unique_ptr<DownloadListModel> m_list;
};

void tst_ListCommands::init()
{
    static int run = 0;
    m_folder = m_dir.filePath(QString("run%1").arg(++run)) + "/";
    QDir().mkpath(m_folder);
    m_list = std::make_unique<DownloadListModel>();
}

void tst_ListCommands::reQueueing_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("requeued");
    QTest::newRow("Err Items: failed rows") << "err" << QStringList{"failed", "xml"};
    QTest::newRow("HTM/HTML/xml Items: done page and xml rows")
        << "htm" << QStringList{"page", "xml"};
    QTest::newRow("Err And Htm: failed rows and done page rows")
        << "errhtm" << QStringList{"failed", "page", "xml"};
    QTest::newRow("Select Items: selected done rows only")
        << "select" << QStringList{"done"}; // "waiting" and "running" are selected too
}

void tst_ListCommands::reQueueing()
{
    QFETCH(QString, command);
    QFETCH(QStringList, requeued);
    fill();
    const Build build = Build::english();
    const int count =
        command == "err"   ? ReDownloadErrItems(*m_list, build)
        : command == "htm" ? ReDownloadHtmItems(*m_list, build)
        : command == "errhtm"
            ? ReDownloadErrAndHtmItems(*m_list, build)
            : ReDownloadSelectItems(*m_list, idsOf({"waiting", "running", "done"}), build);
    QCOMPARE(count, requeued.size());
    QCOMPARE(titlesIn(DownloadState::Waiting), QStringList{"waiting"} + requeued);
    QCOMPARE(titlesIn(DownloadState::Downloading), QStringList{"running"});
}

void tst_ListCommands::reQueuedRowIsReset()
{
    const quint64 id = add("Failed page", DownloadState::Failed, "htm", true);
    const QString oldFile = m_list->find(id)->localFile();
    QFile xxx(m_folder + "Failed page.xxx"); // a file already under the new name
    QVERIFY(xxx.open(QIODevice::WriteOnly));
    xxx.close();
    const quint64 done = add("Done", DownloadState::Finished, "pdf", true);
    const quint64 skipped = add("Skipped", DownloadState::Finished, "pdf", true);
    m_list->update(skipped, [](DownloadRow &r) { r.note = RowNote::AlreadyExists; });
    QCOMPARE(ReDownloadErrItems(*m_list, Build::english()), 1);
    const DownloadRow &r = *m_list->find(id);
    QCOMPARE(r.state, DownloadState::Waiting);
    QCOMPARE(r.type, QString("xxx")); // the word the list shows and keeps
    QCOMPARE(r.fileSizeText(), QString());
    QCOMPARE(r.downloadedText(), QString());
    QCOMPARE(r.percentageText(), QString());
    QCOMPARE(r.reason, QString());
    QVERIFY(r.neverAttempted());
    // Nothing is deleted: a failed row's name may be another's file, and a finished row's
    // file waits for the new download to replace it.
    QVERIFY(QFile::exists(oldFile));
    QVERIFY(QFile::exists(m_folder + "Failed page.xxx"));
    QVERIFY(r.earlier.isEmpty());
    QCOMPARE(ReDownloadSelectItems(*m_list, {done, skipped}, Build::english()), 2);
    QCOMPARE(m_list->find(done)->earlier, m_folder + "Done.pdf");
    QVERIFY(QFile::exists(m_folder + "Done.pdf"));
    QVERIFY(m_list->find(skipped)->earlier.isEmpty()); // "Skip" found that file: not the row's
}

void tst_ListCommands::unconfirmedRowsAreCountedAndFetchedAgain()
{
    const quint64 wrong = add("Wrong paper", DownloadState::Finished, "pdf", true);
    const quint64 scan = add("A scan", DownloadState::Finished, "pdf", true);
    add("Right paper", DownloadState::Finished, "pdf", true);
    m_list->update(wrong, [](DownloadRow &r) {
        r.note = RowNote::TitleNotFound;
        r.pages = 12;
    });
    m_list->update(scan, [](DownloadRow &r) { r.note = RowNote::NoTextToCheck; });
    QCOMPARE(m_list->find(wrong)->percentageText(), QString("Title not found in the document"));
    QVERIFY(m_list->data(m_list->index(m_list->rowOf(wrong), 0), Qt::ToolTipRole)
                .toString()
                .endsWith("12 page(s)\nTitle not found in the document"));
    QVERIFY(m_list->ListCountsText().endsWith("|Completed:3|Err:0|Unconfirmed:1"));
    QCOMPARE(UnconfirmedItems(*m_list), QSet<quint64>{wrong});
    QCOMPARE(ReDownloadUnconfirmedItems(*m_list, Build::english()), 1);
    const DownloadRow &r = *m_list->find(wrong);
    QCOMPARE(r.state, DownloadState::Waiting);
    QCOMPARE(r.note, RowNote::None);
    QCOMPARE(r.pages, 0);
    QCOMPARE(r.earlier, m_folder + "Wrong paper.pdf"); // kept until the new one arrives
    QVERIFY(!m_list->ListCountsText().contains("Unconfirmed"));
}

void tst_ListCommands::doubleClickReQueuesOnlyFailedRows()
{
    fill();
    m_list->update(m_list->at(3).id, [](DownloadRow &r) {
        r.busyAnswers = 5; // failed by a site that kept saying it was busy
        r.retryAt = 99;
    });
    QVERIFY(!ReQueueFailedItem(*m_list, m_list->at(2).id)); // Finished: opened, not re-queued
    QVERIFY(ReQueueFailedItem(*m_list, m_list->at(3).id));
    const DownloadRow &r = m_list->at(3);
    QCOMPARE(r.state, DownloadState::Waiting);
    QCOMPARE(r.busyAnswers, 0); // asked for again: the site is given its five answers again
    QCOMPARE(r.retryAt, 0.0);
    QCOMPARE(r.type, QString("pdf"));
    QVERIFY(r.neverAttempted());
    QVERIFY(QFile::exists(m_folder + "failed.pdf")); // no file of its own: nothing deleted
}

void tst_ListCommands::sizeLimitReQueue_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("requeued");
    QTest::newRow("10000: the small complete row") << "10000" << QStringList{"small"};
    QTest::newRow("spaces around the number") << " 10000 " << QStringList{"small"};
    QTest::newRow("a limit above both") << "30000" << QStringList{"small", "large"};
    QTest::newRow("not a number: nothing") << "ten" << QStringList{};
}

void tst_ListCommands::sizeLimitReQueue()
{
    QFETCH(QString, answer);
    QFETCH(QStringList, requeued);
    add("small", DownloadState::Finished, "pdf", true, 8192);
    add("large", DownloadState::Finished, "pdf", true, 20000);
    add("waiting", DownloadState::Waiting, "pdf", false);
    const quint64 partial = add("partial", DownloadState::Failed, "pdf", false);
    m_list->update(partial, [](DownloadRow &r) {
        r.fileSize = 500;
        r.downloaded = 200; // not complete
    });
    const std::optional<int> count =
        ReDownloadAssinFileSizeItems(*m_list, answer, Build::english());
    QCOMPARE(count.has_value(), answer != "ten");
    QCOMPARE(titlesIn(DownloadState::Waiting), requeued + QStringList{"waiting"}); // list order
}

void tst_ListCommands::alternativeAddressesRotate_data()
{
    QTest::addColumn<bool>("alternatives");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("after");
    QTest::newRow("one address stays") << true << "http://a/1"
                                       << "http://a/1";
    QTest::newRow("two are swapped") << true << "http://a/1|http://b/1"
                                     << "http://b/1|http://a/1";
    QTest::newRow("three: the last comes first") << true << "http://a/1|http://b/1|http://c/1"
                                                 << "http://c/1|http://a/1|http://b/1";
    QTest::newRow("a build without alternatives keeps the key") << false << "http://a/1|http://b/1"
                                                                << "http://a/1|http://b/1";
}

void tst_ListCommands::alternativeAddressesRotate()
{
    QFETCH(bool, alternatives);
    QFETCH(QString, key);
    QFETCH(QString, after);
    const quint64 id = *m_list->add(key, "Paper", "pdf", m_folder, "");
    m_list->update(id, [](DownloadRow &r) { r.state = DownloadState::Failed; });
    Build build = Build::english();
    build.alternativeAddressKeys = alternatives;
    ReDownloadErrItems(*m_list, build);
    QCOMPARE(m_list->find(id)->key, after);
}

void tst_ListCommands::clearing_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("Err Items: every failed row, side by side too")
        << "err" << QStringList{"waiting", "running", "done", "page"};
    QTest::newRow("Completed Items")
        << "completed" << QStringList{"waiting", "running", "failed", "xml"};
    QTest::newRow("Select Items") << "select" << QStringList{"waiting", "running", "page", "xml"};
}

void tst_ListCommands::clearing()
{
    QFETCH(QString, command);
    QFETCH(QStringList, left);
    fill();
    const int before = m_list->size();
    const int removed = command == "err" ? ClearErrItems(*m_list)
                        : command == "completed"
                            ? ClearCompletedItems(*m_list)
                            : ClearSelectItems(*m_list, idsOf({"done", "failed"}));
    QCOMPARE(removed, before - int(left.size()));
    QStringList titles;
    for (int i = 0; i < m_list->size(); ++i) {
        titles << m_list->at(i).text;
    }
    QCOMPARE(titles, left);
    QVERIFY(QFile::exists(m_folder + "done.pdf")); // files stay
}

void tst_ListCommands::deletingFilesKeepsTheRows()
{
    fill();
    QCOMPARE(DeleteHtmItems(*m_list), 2);
    QVERIFY(!QFile::exists(m_folder + "page.htm"));
    QVERIFY(!QFile::exists(m_folder + "xml.xml"));
    QVERIFY(QFile::exists(m_folder + "done.pdf"));
    QCOMPARE(m_list->size(), 6);
    const DownloadRow &page = m_list->at(4);
    QCOMPARE(page.state, DownloadState::Finished);
    QCOMPARE(page.type, QString("htm"));
    QCOMPARE(page.fileSizeText() + page.downloadedText() + page.percentageText(), QString());
    QCOMPARE(DeleteErrItems(*m_list), 2);
    QVERIFY(!QFile::exists(m_folder + "failed.pdf"));
    QCOMPARE(m_list->at(3).state, DownloadState::Failed);
}

void tst_ListCommands::cancelTakesOnlyWaitingRows()
{
    fill();
    QCOMPARE(CancelSelectedWaitingItems(*m_list, idsOf({"waiting", "running", "done"})), 1);
    QCOMPARE(m_list->at(0).state, DownloadState::Failed);
    QCOMPARE(m_list->at(1).state, DownloadState::Downloading);
    QCOMPARE(m_list->at(2).state, DownloadState::Finished);
}

void tst_ListCommands::titles_data()
{
    QTest::addColumn<bool>("unfinished");
    QTest::addColumn<bool>("onlyFinished");
    QTest::addColumn<QString>("text");
    QTest::newRow("All") << false << false
                         << "waiting\r\nrunning\r\ndone\r\nfailed\r\npage\r\nxml\r\n";
    QTest::newRow("UnFinished") << true << false << "waiting\r\nrunning\r\nfailed\r\nxml\r\n";
    QTest::newRow("UnFinished of finished rows only: empty") << true << true << "";
}

void tst_ListCommands::titles()
{
    QFETCH(bool, unfinished);
    QFETCH(bool, onlyFinished);
    QFETCH(QString, text);
    if (onlyFinished) {
        add("done", DownloadState::Finished, "pdf", false);
    } else {
        fill();
    }
    QCOMPARE(TitlesText(*m_list, unfinished), text);
}

void tst_ListCommands::missingFilesAreMarked()
{
    fill();
    QVERIFY(QFile::remove(m_folder + "done.pdf"));
    QCOMPARE(CheckTheFileIsExists(*m_list), 3); // waiting, running and done have no file
    QCOMPARE(m_list->at(2).downloadedText(), QString("not exist"));
    QCOMPARE(m_list->at(3).downloadedText(), QString()); // its file is there
    QCOMPARE(m_list->at(4).downloadedText(), QString("100"));
}

void tst_ListCommands::notExistMarkGoesWithTheFile()
{
    fill();
    QVERIFY(QFile::remove(m_folder + "page.htm"));
    QVERIFY(QFile::remove(m_folder + "done.pdf"));
    CheckTheFileIsExists(*m_list);
    QCOMPARE(m_list->at(4).downloadedText(), QString("not exist"));
    // "not exist" is no number: the row is not complete below any size.
    QCOMPARE(ReDownloadAssinFileSizeItems(*m_list, "1000", Build::english()), 0);
    QCOMPARE(DeleteHtmItems(*m_list), 2);
    QCOMPARE(m_list->at(4).downloadedText(), QString()); // the column is blank, mark and all
    QVERIFY(!m_list->at(4).fileMissing);
}

void tst_ListCommands::shuffleKeepsEveryRowOnce_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("six rows") << 6;
    QTest::newRow("over ten thousand rows, shuffled whole") << 12000;
}

void tst_ListCommands::shuffleKeepsEveryRowOnce()
{
    QFETCH(int, rows);
    for (int i = 0; i < rows; ++i) {
        m_list->add(QString("http://site/%1").arg(i), QString::number(i), "pdf", m_folder, "");
    }
    const QList<quint64> before = m_list->ids();
    std::mt19937_64 random(42);
    ShuffleList(*m_list, random);
    QList<quint64> after = m_list->ids();
    QVERIFY(after != before);
    if (rows > 10000) {
        // The rows past ten thousand move too: the tail is not left in its order.
        QVERIFY(after.mid(10000) != before.mid(10000));
    }
    for (int i = 0; i < m_list->size(); ++i) {
        QCOMPARE(m_list->rowOf(m_list->at(i).id), i); // the index follows the new order
    }
    std::sort(after.begin(), after.end());
    QCOMPARE(after, before); // ids were given in order: every row is there once
}

void tst_ListCommands::urlReplace_data()
{
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("with");
    QTest::addColumn<bool>("replaced");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("tags");
    QTest::newRow("capitals match small letters")
        << "OLD.SITE"
        << "new.site" << true
        << QStringList{"http://new.site/a.pdf", "http://new.site/b.pdf?x=new.site",
                       "http://other/c"}
        << QStringList{"http://new.site/doc/a", "", "http://new.site/"};
    QTest::newRow("an empty replacement deletes")
        << "old."
        << "" << true
        << QStringList{"http://site/a.pdf", "http://site/b.pdf?x=site", "http://other/c"}
        << QStringList{"http://site/doc/a", "", "http://site/"};
    QTest::newRow("no rescanning of what was put in")
        << "a"
        << "aa" << true
        << QStringList{"http://old.site/aa.pdf", "http://old.site/b.pdf?x=Old.site",
                       "http://other/c"}
        << QStringList{"http://old.site/doc/aa", "", "http://old.site/"};
    QTest::newRow("two rows would share an address: nothing changes")
        << "/b.pdf?x=old.site"
        << "/a.pdf" << false
        << QStringList{"http://old.site/a.pdf", "http://old.site/b.pdf?x=Old.site",
                       "http://other/c"}
        << QStringList{"http://old.site/doc/a", "", "http://old.site/"};
}

void tst_ListCommands::urlReplace()
{
    QFETCH(QString, find);
    QFETCH(QString, with);
    QFETCH(bool, replaced);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, tags);
    m_list->add("http://old.site/a.pdf", "a", "pdf", m_folder, "http://old.site/doc/a");
    const quint64 b = *m_list->add("http://old.site/b.pdf?x=Old.site", "b", "pdf", m_folder, "");
    m_list->update(b, [](DownloadRow &r) { r.state = DownloadState::Downloading; });
    m_list->add("http://other/c", "c", "pdf", m_folder, "http://old.site/");
    const UrlReplaceOutcome outcome = ReplaceInUrls(*m_list, find, with);
    QCOMPARE(outcome.replaced, replaced);
    QCOMPARE(outcome.collision.isEmpty(), replaced);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(m_list->at(i).key, keys.at(i));
        QCOMPARE(m_list->at(i).tag, tags.at(i));
        QVERIFY(m_list->containsKey(keys.at(i))); // the list finds rows by their new address
    }
}

void tst_ListCommands::replacementChainKeepsTheAddressIndex_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("with");
    QTest::newRow("a row takes the address of a later row") << QStringList{"a", "aa"} << "/a"
                                                            << "/aa";
    QTest::newRow("a chain of three") << QStringList{"x", "xx", "xxx"} << "/x"
                                      << "/xx";
    QTest::newRow("the later row first") << QStringList{"aa", "a"} << "/a"
                                         << "/aa";
}

void tst_ListCommands::replacementChainKeepsTheAddressIndex()
{
    QFETCH(QStringList, paths);
    QFETCH(QString, find);
    QFETCH(QString, with);
    for (const QString &p : paths) {
        m_list->add("http://site/" + p, p, "pdf", m_folder, "");
    }
    QVERIFY(ReplaceInUrls(*m_list, find, with).replaced);
    QVERIFY(ReplaceInUrls(*m_list, find, with).replaced); // and once more along the chain
    QStringList keys;
    for (int i = 0; i < m_list->size(); ++i) {
        keys << m_list->at(i).key;
        QVERIFY2(m_list->containsKey(keys.last()), qPrintable(keys.last()));
    }
    for (const QString &key : keys) {
        QVERIFY2(!m_list->add(key, "again", "pdf", m_folder, ""), qPrintable(key)); // no twice
    }
    QCOMPARE(m_list->size(), paths.size());
}

void tst_ListCommands::textEditorSizeRule_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<bool>("tooLarge");
    QTest::newRow("2 MB exactly opens") << qint64(2048) * 1024 << false;
    QTest::newRow("a byte more does not") << qint64(2048) * 1024 + 1 << true;
    QTest::newRow("3 MB does not") << qint64(3) * 1024 * 1024 << true;
}

void tst_ListCommands::textEditorSizeRule()
{
    QFETCH(qint64, bytes);
    QFETCH(bool, tooLarge);
    QCOMPARE(TooLargeForTextEditor(bytes), tooLarge);
}

void tst_ListCommands::listMenuFollowsTheDownloads()
{
    // "Clear", "Clear All" and "Select All" wait for the downloads to stop; "Stop Download "
    // is there while they run.
    QVERIFY(IsEnabledWhen(WhenEnabled::Idle, false) && !IsEnabledWhen(WhenEnabled::Idle, true));
    QVERIFY(IsEnabledWhen(WhenEnabled::Downloading, true));
    QVERIFY(!IsEnabledWhen(WhenEnabled::Downloading, false));
    QVERIFY(IsEnabledWhen(WhenEnabled::Always, true) && IsEnabledWhen(WhenEnabled::Always, false));
}

QTEST_GUILESS_MAIN(tst_ListCommands)
#include "tst_listcommands.moc"
