#include "testsite.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace harvly;

// harvly-cli fetch: from a result page, or a list, to the documents on disk.
class tst_CliFetch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_site.start()); }
    void fromEachLayoutToExactBytes_data();
    void fromEachLayoutToExactBytes();
    void killedAndRunAgainTakesEachDocumentOnce();
    void aPageWithoutResultsIsSaid();
    void walkStops_data();
    void walkStops();
    void fromAListOfDocumentPagesAndDois();

private:
    struct Run {
        int status = -1;
        QString out;
        QString err;
    };
    Run fetch(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral(HARVLY_CLI), QStringList{"fetch"} + args);
        QSignalSpy finished(&p, &QProcess::finished);
        // The site answers from this process, so the wait keeps its events running.
        if (!finished.wait(90000)) {
            p.kill();
            p.waitForFinished();
        }
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    QByteArray served(const QString &address)
    {
        std::unique_ptr<QNetworkReply> reply(m_network.get(QNetworkRequest(QUrl(address))));
        QSignalSpy done(reply.get(), &QNetworkReply::finished);
        done.wait(10000);
        return reply->readAll();
    }
    int requestsFor(const QString &what) const
    {
        int n = 0;
        for (const QString &r : m_site.requests()) {
            n += r.contains(what);
        }
        return n;
    }

    testsite::TestSite m_site;
    QNetworkAccessManager m_network;
    QTemporaryDir m_dir;
};

void tst_CliFetch::fromEachLayoutToExactBytes_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("documents");
    QTest::addColumn<bool>("web");
    QTest::newRow("content areas (pages analysed for the embedded viewer)") << 1 << 9 << false;
    QTest::newRow("titles and links apart (PDF links)") << 2 << 10 << false;
    QTest::newRow("items (pages analysed for Download PDF)") << 3 << 9 << false;
    QTest::newRow("rows a script adds (--web)") << 4 << 9 << true;
}

void tst_CliFetch::fromEachLayoutToExactBytes()
{
    QFETCH(int, layout);
    QFETCH(int, documents);
    QFETCH(bool, web);
    const QString dest = m_dir.filePath(QString("layout-%1").arg(layout));
    QStringList args{"--dest", dest, "--quiet",
                     m_site.url(QString("/search?q=x&layout=%1").arg(layout)).toString()};
    if (web) {
        args.prepend("--web");
    }
    const Run r = fetch(args);
    QVERIFY2(r.status == 0, qPrintable(r.err + r.out));
    if (!web) {
        QCOMPARE(r.err, QString()); // --quiet: the result lines only (the browser has its say)
    }
    const QStringList rows = r.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), documents);
    for (const QString &row : rows) {
        const QStringList f = row.split('\t');
        QCOMPARE(f.at(0), QString("Finished"));
        QCOMPARE(f.at(1), QString("pdf"));
        QFile file(f.at(5));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(f.at(5)));
        QVERIFY(file.readAll() == served(f.at(7))); // the document, byte for byte
    }
    QCOMPARE(int(QDir(dest).entryList(QDir::Files).size()), documents);
}

void tst_CliFetch::killedAndRunAgainTakesEachDocumentOnce()
{
    const QString dest = m_dir.filePath("killed");
    const QString state = m_dir.filePath("killed-state.json");
    const QStringList args{"--dest",
                           dest,
                           "--all-pages",
                           "--state",
                           state,
                           "--quiet",
                           m_site.url("/search?q=killed&layout=2").toString()};
    QProcess first;
    first.start(QStringLiteral(HARVLY_CLI), QStringList{"fetch"} + args);
    // Killed in the pause after the first page: the walk is kept, the rest not begun.
    QTRY_VERIFY_WITH_TIMEOUT(requestsFor("q=killed") == 1 && QFile::exists(state + ".fetch"),
                             20000);
    ::kill(pid_t(first.processId()), SIGKILL);
    QSignalSpy ended(&first, &QProcess::finished);
    QVERIFY(ended.wait(10000));

    const Run again = fetch(args);
    QVERIFY2(again.status == 0, qPrintable(again.err));
    QCOMPARE(requestsFor("q=killed"), 3); // each result page once
    QCOMPARE(int(QDir(dest).entryList(QDir::Files).size()), 30);
    const qsizetype before = m_site.requests().size();
    const Run third = fetch(args); // all done: nothing asked again
    QCOMPARE(third.status, 0);
    QCOMPARE(m_site.requests().size(), before);
    QCOMPARE(int(QDir(dest).entryList(QDir::Files).size()), 30);
}

void tst_CliFetch::aPageWithoutResultsIsSaid()
{
    const Run r = fetch({"--dest", m_dir.filePath("none"), m_site.url("/popup").toString()});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains("gave no result row"), qPrintable(r.err));
}

void tst_CliFetch::walkStops_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<int>("fetched");
    QTest::newRow("a page whose next link names itself: once")
        << "q=selfloop&layout=2&page=1&selfnext=1" << QStringList{"--all-pages"} << 1;
    QTest::newRow("--pages 2 of three") << "q=capped&layout=2" << QStringList{"--pages", "2"} << 2;
}

void tst_CliFetch::walkStops()
{
    QFETCH(QString, query);
    QFETCH(QStringList, pages);
    QFETCH(int, fetched);
    const QString dest = m_dir.filePath(QString::number(qHash(query)));
    const Run r = fetch(QStringList{"--dest", dest, "--quiet"} + pages +
                        QStringList{m_site.url("/search?" + query).toString()});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QCOMPARE(requestsFor(query.section('&', 0, 0)), fetched);
    QCOMPARE(int(QDir(dest).entryList(QDir::Files).size()), 10 * fetched);
}

void tst_CliFetch::fromAListOfDocumentPagesAndDois()
{
    const QString list = m_dir.filePath("bulk.txt");
    QFile f(list);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write((m_site.url("/docview/51").toString() + "\n10.5555/harvly.52\nnote\n").toUtf8());
    f.close();
    const QString dest = m_dir.filePath("bulk-dest");
    const Run r = fetch({"--dest", dest, "--quiet", "--json", "--bulk", list, "--doi-resolver",
                         m_site.url("/doi/").toString()});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    const QStringList rows = r.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 2);
    QVERIFY(rows.at(1).contains("\"DOI\":\"10.5555/harvly.52\"")); // the record came along
    QCOMPARE(int(QDir(dest).entryList(QDir::Files).size()), 2);
}

QTEST_GUILESS_MAIN(tst_CliFetch)
#include "tst_clifetch.moc"
