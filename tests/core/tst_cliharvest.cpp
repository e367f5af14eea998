#include "common/urltext.h"
#include "testsite.h"

#include <QCoro/QCoroTask>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace harvly;

// harvly-cli harvest against the sample site: live pages, saved copies, failures.
class tst_CliHarvest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_site.start()); }
    void savedCopyGivesTheSameRows_data();
    void savedCopyGivesTheSameRows();
    void htmRowsOnlyWhenAsked();
    void unloadablePage_data();
    void unloadablePage();
    void download_data();
    void download();
    void downloadRefusesBadArguments_data();
    void downloadRefusesBadArguments();
    void downloadExitStatus_data();
    void downloadExitStatus();
    void pipesInOneShape_data();
    void pipesInOneShape();
    void failedListFedBackTakesOnlyTheFailedRows();
    void jsonLinesWithoutAnAddressAreRefused();
    void terminalProgressRewritesOneLine();
    void cookiesRoundTripWithCurl();
    void bulk_data();
    void bulk();
    void bulkLooksDoisUpAndPrintsRecords_data();
    void bulkLooksDoisUpAndPrintsRecords();
    void bulkStoppedBySigtermListsTheRest();
    void analyse();
    void analyseReportsPagesThatCannotBeFetched();

private:
    struct Run {
        int status = -1;
        QString out;
        QString err;
    };
    Run cli(const QStringList &args, const QString &command = "harvest",
            const QByteArray &input = {})
    {
        QProcess p;
        p.start(QStringLiteral(HARVLY_CLI), QStringList{command} + args);
        p.write(input);
        p.closeWriteChannel();
        QSignalSpy finished(&p, &QProcess::finished);
        // The site answers from this process, so the wait must keep its events running.
        if (!finished.wait(60000)) {
            p.kill();
            p.waitForFinished();
        }
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    QString savedCopy(const QString &path)
    {
        QString html = QCoro::waitFor(GetUrlText(&m_network, m_site.url(path), "utf-8"));
        html.replace("<head>", "<head><base href=\"" + m_site.url(path).toString() + "\">");
        const QString file = m_dir.filePath(QString("page%1.html").arg(++m_saved));
        QFile f(file);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(html.toUtf8());
        }
        return file;
    }
    testsite::TestSite m_site;
    QNetworkAccessManager m_network;
    QTemporaryDir m_dir;
    int m_saved = 0;
};

void tst_CliHarvest::savedCopyGivesTheSameRows_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("rows");
    QTest::newRow("content areas") << "/search?q=x&layout=1" << 9;
    QTest::newRow("titles and links apart") << "/search?q=x&layout=2&page=3" << 10;
    QTest::newRow("items") << "/search?q=x&layout=3" << 9;
    QTest::newRow("document page") << "/docview/17" << 1;
}

void tst_CliHarvest::savedCopyGivesTheSameRows()
{
    QFETCH(QString, path);
    QFETCH(int, rows);
    const Run live = cli({m_site.url(path).toString()});
    QCOMPARE(live.status, 0);
    QCOMPARE(live.out.count('\n'), rows);
    for (const QString &line : live.out.split('\n', Qt::SkipEmptyParts)) {
        QCOMPARE(line.split('\t').size(), 4);
        QVERIFY(line.split('\t').at(1).startsWith(m_site.url("/").toString()));
    }
    const QString file = savedCopy(path);
    const Run staticFile = cli({"--static", file});
    QCOMPARE(staticFile.status, 0);
    const Run liveFile = cli({file});
    QCOMPARE(liveFile.status, 0);
    const Run staticAddress = cli({"--static", m_site.url(path).toString()});
    QCOMPARE(staticFile.out, live.out);
    QCOMPARE(liveFile.out, live.out);
    QCOMPARE(staticAddress.out, live.out);
}

void tst_CliHarvest::htmRowsOnlyWhenAsked()
{
    const QString page = m_site.url("/search?q=x&layout=3&page=2").toString();
    const Run plain = cli({"--static", page});
    const Run withHtm = cli({"--static", "--with-htm", page});
    QCOMPARE(plain.out.count('\n'), 9);
    QCOMPARE(withHtm.out.count('\n'), 10);
    QVERIFY(withHtm.out.contains("\thtm\tPQ1\n"));
    QVERIFY(!plain.out.contains("\thtm\t"));
}

void tst_CliHarvest::unloadablePage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::newRow("missing file") << QStringList{"/no/such/page.html"} << 1;
    QTest::newRow("missing file, static") << QStringList{"--static", "/no/such/page.html"} << 1;
    QTest::newRow("nothing listening") << QStringList{"http://127.0.0.1:1/"} << 1;
    QTest::newRow("nothing listening, static")
        << QStringList{"--static", "http://127.0.0.1:1/"} << 1;
    QTest::newRow("no page given") << QStringList{"--static"} << 2;
    QTest::newRow("two pages") << QStringList{"a.html", "b.html"} << 2;
}

void tst_CliHarvest::unloadablePage()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    const Run r = cli(args);
    QCOMPARE(r.status, status);
    QVERIFY(r.out.isEmpty());
    QVERIFY(r.err.contains("harvest:"));
}

void tst_CliHarvest::download_data()
{
    QTest::addColumn<QStringList>("wayArgs");
    QTest::newRow("way 1") << QStringList{"--way", "1"};
    QTest::newRow("way 2, three slots") << QStringList{"--way", "2", "--threads", "3"};
}

void tst_CliHarvest::download()
{
    QFETCH(QStringList, wayArgs);
    const QString dest = m_dir.filePath(QString("dl-%1").arg(QTest::currentDataTag()));
    const QString list = m_dir.filePath("list.txt");
    {
        QFile f(list);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write((m_site.url("/pdf/1.pdf").toString() + "\tFirst: paper?\tpdf\t" +
                 m_site.url("/docview/1").toString() + "\n" +
                 m_site.url("/secure/2.pdf").toString() + "\tLogin page\n\n" +
                 m_site.url("/pdf/3.pdf?fault=reset").toString() + "\n\tEmptyUrl\tpdf\n")
                    .toUtf8());
    }
    // The titles are made up: the documents do not carry them.
    const Run r =
        cli(QStringList{"--dest", dest, "--interval", "0", "--no-document-check", "--list", list} +
                wayArgs,
            "download");
    QCOMPARE(r.status, 1); // a row failed
    // The line without an address is named and skipped; its title is never fetched.
    QVERIFY2(r.err.contains("line 5: no address"), qPrintable(r.err));
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QStringList first = lines.at(0).split('\t');
    QCOMPARE(first.size(), 9);
    QCOMPARE(first.at(8), QString()); // no reason: it did not fail
    QCOMPARE(first.at(0), QString("Finished"));
    QCOMPARE(first.at(1), QString("pdf"));
    QCOMPARE(first.at(4), QString("100%"));
    QCOMPARE(first.at(5), dest + "/First paper.pdf");
    QVERIFY(QFile::exists(first.at(5)));
    QCOMPARE(first.at(7), m_site.url("/pdf/1.pdf").toString());
    QCOMPARE(lines.at(1).section('\t', 0, 1), QString("Finished\thtm"));
    QCOMPARE(lines.at(1).section('\t', 5, 5), dest + "/Login page.htm");
    QCOMPARE(lines.at(2).section('\t', 0, 0), QString("Failed"));
    QCOMPARE(lines.at(2).section('\t', 8, 8), QString("connection reset"));
    QVERIFY(r.err.contains("Sum:3|"));
}

void tst_CliHarvest::downloadRefusesBadArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("no destination") << QStringList{"http://h/a.pdf"} << "--dest is needed";
    QTest::newRow("bad way") << QStringList{"--dest", "/tmp/x", "--way", "3", "http://h/"}
                             << "--way";
    QTest::newRow("too many threads")
        << QStringList{"--dest", "/tmp/x", "--threads", "7", "u"} << "--threads";
    QTest::newRow("bad same-name")
        << QStringList{"--dest", "/tmp/x", "--same-name", "Keep", "u"} << "Skip, Cover or Rename";
    QTest::newRow("nothing to download") << QStringList{"--dest", "/tmp/x"} << "no address";
    QTest::newRow("unknown option") << QStringList{"--dest", "/tmp/x", "--fast", "u"} << "--fast";
}

void tst_CliHarvest::downloadRefusesBadArguments()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const Run r = cli(args, "download");
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
}

void tst_CliHarvest::downloadExitStatus_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("status");
    QTest::newRow("every row finished: 0") << "site:/pdf/5.pdf\tFive\nsite:/pdf/6.pdf\tSix\n" << 0;
    QTest::newRow("a row failed: 1") << "site:/pdf/5.pdf\tFive\nsite:/pdf/6.pdf?fault=short\tSix\n"
                                     << 1;
    QTest::newRow("a line without address: 1") << "site:/pdf/5.pdf\tFive\n\tSix\n" << 1;
    QTest::newRow("no line with an address: 2") << "\tFive\n  \t Six\n" << 2;
    QTest::newRow("a local file is not fetched: 1") << "file:///etc/passwd\tpasswd\n" << 1;
}

void tst_CliHarvest::downloadExitStatus()
{
    QFETCH(QString, list);
    QFETCH(int, status);
    const QString dest = m_dir.filePath(QString("exit-%1").arg(QTest::currentDataTag()));
    const QString file = m_dir.filePath("exit-list.txt");
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QString(list).replace("site:/", m_site.url("/").toString()).toUtf8());
    }
    const Run r = cli({"--dest", dest, "--list", file}, "download");
    QCOMPARE(r.status, status);
    QVERIFY(!QFile::exists(dest + "/passwd"));
}

void tst_CliHarvest::pipesInOneShape_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("args"); // "site:/" is the sample site
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("type");
    QTest::newRow("harvest --json")
        << "harvest" << QStringList{"--json", "--static", "site:/search?q=x&layout=2"}
        << QByteArray() << 10 << "pdf";
    QTest::newRow("analyse --json")
        << "analyse" << QStringList{"--json", "site:/docview/33?src=pq1", "site:/paper/34"}
        << QByteArray() << 2 << "pdf";
    QTest::newRow("analyse --json --list -")
        << "analyse" << QStringList{"--json", "--list", "-"}
        << QByteArray("{\"link\":\"site:/docview/44?src=pq1\"}\nnot an address\n") << 1 << "pdf";
    QTest::newRow("bulk --json") << "bulk" << QStringList{"--json", "-"}
                                 << QByteArray("site:/docview/35\nsite:/paper/36/dc\n") << 2
                                 << "pdf";
    QTest::newRow("download --json")
        << "download" << QStringList{"--json",  "--quiet",          "--dest",
                                     "@/first", "site:/pdf/37.pdf", "site:/pdf/38.pdf"}
        << QByteArray() << 2 << "pdf";
}

// What one command prints with --json, the download command reads from standard input.
void tst_CliHarvest::pipesInOneShape()
{
    QFETCH(QString, command);
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(int, rows);
    QFETCH(QString, type);
    const QString site = m_site.url("/").toString();
    const QString work = m_dir.filePath(QString("pipe-%1").arg(QTest::currentDataTag()));
    args.replaceInStrings("site:/", site).replaceInStrings("@", work);
    const Run first = cli(args, command, input.replace("site:/", site.toUtf8()));
    QCOMPARE(first.status, 0);
    const Run second = cli({"--json", "--quiet", "--dest", work + "/dest", "--list", "-"},
                           "download", first.out.toUtf8());
    QVERIFY2(second.status == 0, qPrintable(second.err));
    QVERIFY(second.err.isEmpty()); // quiet
    const QStringList lines = second.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), rows);
    for (const QString &line : lines) {
        const QJsonObject row = QJsonDocument::fromJson(line.toUtf8()).object();
        QCOMPARE(row.value("state").toString(), QString("Finished"));
        QCOMPARE(row.value("type").toString(), type);
        QVERIFY(QFile::exists(row.value("file").toString()));
    }
    if (command == "analyse" || command == "bulk") {
        // The record came through the pipe with the row.
        const QJsonObject row = QJsonDocument::fromJson(lines.first().toUtf8()).object();
        QVERIFY(row.value("record").toObject().value("DOI").toString().startsWith("10.5555/"));
    }
}

void tst_CliHarvest::failedListFedBackTakesOnlyTheFailedRows()
{
    const QString dest = m_dir.filePath("failed-dest");
    const QString failed = m_dir.filePath("failed.txt");
    const QString broken = m_site.url("/pdf/40.pdf?fault=reset").toString();
    const Run first = cli({"--dest", dest, "--retries", "0", "--failed", failed,
                           m_site.url("/pdf/39.pdf").toString(), broken},
                          "download");
    QCOMPARE(first.status, 1);
    QFile f(failed);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines.at(0).startsWith("# ")); // the reason
    QCOMPARE(lines.at(1).section('\t', 0, 0), broken);
    const Run again = cli({"--dest", dest, "--retries", "0", "--list", failed}, "download");
    const QStringList rows = again.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().section('\t', 7, 7), broken);
}

void tst_CliHarvest::jsonLinesWithoutAnAddressAreRefused()
{
    const QByteArray list = "{\"title\":\"no address\"}\n[1,2]\n{\"link\":\"" +
                            m_site.url("/pdf/41.pdf").toString().toUtf8() +
                            "\",\"title\":\"Forty-one\"}\n";
    const Run r = cli({"--dest", m_dir.filePath("refused"), "--list", "-"}, "download", list);
    QCOMPARE(r.status, 1); // the lines without an address count as not done
    QVERIFY2(r.err.contains("line 1: no JSON object with an address"), qPrintable(r.err));
    QVERIFY(r.err.contains("line 2: no JSON object with an address"));
    QCOMPARE(r.out.count("Finished"), 1);
    QVERIFY(QFile::exists(m_dir.filePath("refused") + "/Forty-one.pdf"));
}

void tst_CliHarvest::terminalProgressRewritesOneLine()
{
    // script(1) gives the command a terminal; its output is what the terminal would show.
    const QString command =
        QString("'%1' download --dest '%2' '%3' '%4'")
            .arg(HARVLY_CLI, m_dir.filePath("tty"),
                 m_site.url("/pdf/42.pdf?fault=slow&chunk=2000&interval=300").toString(),
                 m_site.url("/pdf/43.pdf").toString());
    QProcess p;
    p.start("script", {"-qec", command, "/dev/null"});
    QSignalSpy finished(&p, &QProcess::finished);
    QVERIFY(finished.wait(60000));
    const QString shown = QString::fromUtf8(p.readAllStandardOutput());
    QCOMPARE(p.exitCode(), 0);
    QVERIFY2(shown.contains(QRegularExpression("\r\\[[0-2]/2\\] \\d")), qPrintable(shown));
    QCOMPARE(shown.count("Sum:"), 1);    // no counts line per second on a terminal
    QVERIFY(shown.contains("\rSum:2|")); // the line cleared, the counts left at the end
}

void tst_CliHarvest::cookiesRoundTripWithCurl()
{
    // curl runs apart; the site answers from this process, so the waits keep its events.
    const auto curl = [](const QStringList &args) {
        QProcess p;
        p.start("curl", QStringList{"-s"} + args);
        QSignalSpy finished(&p, &QProcess::finished);
        finished.wait(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    const QString written = m_dir.filePath("cookies-written.txt");
    const Run set = cli({"--quiet", "--dest", m_dir.filePath("cookie-dest"), "--cookies", written,
                         m_site.url("/setcookie?name=harvly&value=one").toString()},
                        "download");
    QCOMPARE(set.status, 0);
    QVERIFY(QFile::exists(written));
    QVERIFY(!(QFile::permissions(written) & QFileDevice::ReadOther));
    // curl -b sends what --cookies wrote (an HttpOnly session cookie).
    QVERIFY(curl({"-b", written, m_site.url("/cookies").toString()}).contains("harvly=one"));

    // What curl -c wrote, --cookies sends; and writes back.
    const QString fromCurl = m_dir.filePath("cookies-curl.txt");
    curl({"-c", fromCurl, m_site.url("/setcookie?name=fromcurl&value=two").toString()});
    const QString dest = m_dir.filePath("cookie-dest2");
    const Run sent = cli({"--quiet", "--json", "--dest", dest, "--cookies", fromCurl,
                          m_site.url("/cookies").toString()},
                         "download");
    QCOMPARE(sent.status, 0);
    QFile page(QJsonDocument::fromJson(sent.out.toUtf8()).object().value("file").toString());
    QVERIFY(page.open(QIODevice::ReadOnly));
    QVERIFY(page.readAll().contains("fromcurl=two"));
    QVERIFY(curl({"-b", fromCurl, m_site.url("/cookies").toString()}).contains("fromcurl=two"));
}

void tst_CliHarvest::bulk_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("unsuccessful");
    for (const QStringList &options : {QStringList{}, QStringList{"--web"}}) {
        const QString way = options.isEmpty() ? "download method, " : "web method, ";
        QTest::addRow("%s", qPrintable(way + "every address gives a row: 0"))
            << options << "site:/docview/6\nnote\nsite:/docview/7\n"
            << 0 << 2 << 0;
        QTest::addRow("%s", qPrintable(way + "one gives none: 1"))
            << options << "site:/docview/6\r\nsite:/nothing\r\n"
            << 1 << 1 << 1;
    }
    QTest::newRow("no address line: 2") << QStringList{} << "just a note\n\n" << 2 << 0 << 0;
    QTest::newRow("unknown option: 2") << QStringList{"--fast"} << "site:/docview/6\n"
                                       << 2 << 0 << 0;
}

void tst_CliHarvest::bulk()
{
    QFETCH(QStringList, options);
    QFETCH(QString, list);
    QFETCH(int, status);
    QFETCH(int, rows);
    QFETCH(int, unsuccessful);
    const QString file = m_dir.filePath("bulk-list.txt");
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QString(list).replace("site:/", m_site.url("/").toString()).toUtf8());
    }
    const Run r = cli(options + QStringList{file}, "bulk");
    QCOMPARE(r.status, status);
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(int(lines.filter(QRegularExpression("^unsuccessful\t")).size()), unsuccessful);
    QCOMPARE(int(lines.size()) - unsuccessful, rows);
    if (rows > 0) {
        QCOMPARE(lines.first().split('\t').size(), 4);
        QVERIFY(lines.first().split('\t').at(1).contains("/pdf/6.pdf"));
    }
}

void tst_CliHarvest::bulkLooksDoisUpAndPrintsRecords_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("download method") << QStringList{};
    QTest::newRow("web method") << QStringList{"--web"};
}

void tst_CliHarvest::bulkLooksDoisUpAndPrintsRecords()
{
    QFETCH(QStringList, options);
    // DOIs written three ways, a note, and a DOI the resolver does not know.
    const QString file = m_dir.filePath("bulk-dois.txt");
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("10.5555/HARVLY.21\ndoi: 10.5555/harvly.22 .\nsee below\n"
                "https://doi.org/10.5555/harvly.23\n10.5555/unknown.1\n");
    }
    const Run r =
        cli(options + QStringList{"--json", "--doi-resolver", m_site.url("/doi/").toString(), file},
            "bulk");
    QCOMPARE(r.status, 1); // the unknown DOI gave no row
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    for (int i = 0; i < 3; ++i) {
        const QJsonObject row = QJsonDocument::fromJson(lines.at(i).toUtf8()).object();
        const int id = 21 + i;
        QCOMPARE(row.value("link").toString(),
                 m_site.url(QString("/pdf/%1.pdf").arg(id)).toString());
        QCOMPARE(row.value("fileType").toString(), QString("pdf"));
        const QJsonObject record = row.value("record").toObject();
        QCOMPARE(record.value("DOI").toString(), QString("10.5555/harvly.%1").arg(id));
        QCOMPARE(record.value("URL").toString(),
                 m_site.url(QString("/paper/%1").arg(id)).toString());
        QVERIFY(!record.value("author").toArray().isEmpty());
        QCOMPARE(
            record.value("issued").toObject().value("date-parts").toArray().at(0).toArray().size(),
            3);
        QCOMPARE(row.value("pdf").toString(), row.value("link").toString());
    }
    QCOMPARE(
        QJsonDocument::fromJson(lines.at(3).toUtf8()).object().value("unsuccessful").toString(),
        m_site.url("/doi/10.5555/unknown.1").toString());
}

void tst_CliHarvest::bulkStoppedBySigtermListsTheRest()
{
    // The second address never completes: the stop ends its fetch, and the rest is listed.
    const QString file = m_dir.filePath("bulk-stop.txt");
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write((m_site.url("/docview/6").toString() + "\n" + m_site.url("/stall").toString() +
                 "\n" + m_site.url("/docview/7").toString() + "\n")
                    .toUtf8());
    }
    QProcess p;
    p.start(QStringLiteral(HARVLY_CLI), {"bulk", file});
    QTRY_VERIFY_WITH_TIMEOUT(p.bytesAvailable() > 0 || p.state() == QProcess::NotRunning, 20000);
    QTest::qWait(300); // the stalled fetch is under way
    p.terminate();
    QSignalSpy finished(&p, &QProcess::finished);
    QVERIFY(p.state() == QProcess::NotRunning || finished.wait(10000));
    QCOMPARE(p.exitCode(), 128 + 15);
    const QStringList lines =
        QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(0).contains("/pdf/6.pdf"));
    QCOMPARE(lines.at(1), "unsuccessful\t" + m_site.url("/stall").toString());
    QCOMPARE(lines.at(2), "unsuccessful\t" + m_site.url("/docview/7").toString());
}

void tst_CliHarvest::analyse()
{
    const QString doc = m_site.url("/docview/5").toString();
    const QString embedded = m_site.url("/docview/5/fulltextPDF").toString();
    const QString relative = m_site.url("/docview/5/relative").toString();
    const QString pdf = m_site.url("/pdf/5.pdf?accountid=7&t=doc").toString();
    const Run r = cli({doc, embedded, relative}, "analyse");
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, doc + "\tdownload-pdf\t" + pdf + "\n" + doc + "\tdocument\t" + pdf + "\t" +
                        "CRISPR screening in cancer cell lines: a systematic review (No. 5)\n" +
                        embedded + "\tembedded\t" + pdf + "\n");
}

void tst_CliHarvest::analyseReportsPagesThatCannotBeFetched()
{
    const QString doc = m_site.url("/docview/6").toString();
    const Run r = cli({"http://127.0.0.1:1/gone", doc}, "analyse");
    QCOMPARE(r.status, 1);
    QVERIFY(r.err.contains("cannot fetch http://127.0.0.1:1/gone"));
    QVERIFY(r.out.startsWith(doc + "\tdownload-pdf\t")); // the others are still analysed
    QCOMPARE(cli({}, "analyse").status, 2);
}

QTEST_GUILESS_MAIN(tst_CliHarvest)
#include "tst_cliharvest.moc"
