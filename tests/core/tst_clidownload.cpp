// harvly-cli download as scripts use it: many large transfers by each way, each to its exact
// last byte, and a run stopped by a signal. The sample site runs as a process of its own, so
// waiting for the command line blocks nothing it needs.
#include "pages.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

// The site's resumable and large bodies begin as a PDF but are none: the downloads here run
// without the document check (tst_engines and tst_documentcheck test it).
class tst_CliDownload : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void largeTransfersEndWhole_data();
    void largeTransfersEndWhole();
    void signalLeavesNoTemporaryFile_data();
    void signalLeavesNoTemporaryFile();
    void killedRunGoesOnWhereItStood_data();
    void killedRunGoesOnWhereItStood();
    void killedTransferGoesOnFromItsPart_data();
    void killedTransferGoesOnFromItsPart();
    void oneRunAtATimePerStateFile();
    void listFromStandardInput();
    void runAgainRetriesTheFailedRows();
    void documentCheckAndItsSwitch_data();
    void documentCheckAndItsSwitch();

private:
    // The site's generated body: a PDF header, then "x" to the end.
    static bool isGeneratedBody(const QString &path, qint64 size)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly) || f.size() != size || f.read(9) != "%PDF-1.4\n") {
            return false;
        }
        // The sample site's junk body: "x" throughout, and the PDF end marker in its last seven
        // bytes.
        const QByteArray block(1024 * 1024, 'x');
        qint64 left = size - 9 - 7;
        while (left > 0) {
            const QByteArray part = f.read(qMin<qint64>(left, block.size()));
            if (part.isEmpty() || part != block.left(part.size())) {
                return false;
            }
            left -= part.size();
        }
        return f.readAll() == "\n%%EOF\n";
    }

    QProcess m_site;
    QString m_root;
};

void tst_CliDownload::initTestCase()
{
    m_site.start(QStringLiteral(HARVLY_TESTSITE), {"--port", "0"});
    QVERIFY(m_site.waitForReadyRead(10000));
    m_root = QString::fromUtf8(m_site.readLine()).trimmed();
    QVERIFY(m_root.startsWith("http://127.0.0.1:"));
}

void tst_CliDownload::cleanupTestCase()
{
    m_site.kill();
    m_site.waitForFinished();
}

void tst_CliDownload::largeTransfersEndWhole_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<int>("run");
    for (const int way : {1, 2}) {
        for (int run = 1; run <= 20; ++run) {
            QTest::addRow("way %d, 64 MiB, run %d: exit 0 with every byte?", way, run)
                << way << run;
        }
    }
}

void tst_CliDownload::largeTransfersEndWhole()
{
    QFETCH(int, way);
    QFETCH(int, run);
    constexpr qint64 size = 64 * 1024 * 1024;
    QTemporaryDir dest;
    QProcess cli;
    cli.start(QStringLiteral(HARVLY_CLI),
              {"download", "--no-document-check", "--dest", dest.path(), "--way",
               QString::number(way),
               m_root + QString("big/run%1.pdf?size=%2&junk=1").arg(run).arg(size)});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit); // no crash
    QCOMPARE(cli.exitCode(), 0);
    const QStringList files = QDir(dest.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(files.size(), 1);
    QVERIFY(isGeneratedBody(dest.filePath(files.first()), size));
}

void tst_CliDownload::signalLeavesNoTemporaryFile_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("address");
    // Without --state nothing would continue a part, so none stays, not even one that could.
    const QString plain = "pdf/3.pdf?fault=slow&chunk=50&interval=50";
    const QString resumable = "resumable/3?size=400000&slow=1000";
    for (const int way : {1, 2}) {
        QTest::addRow("way %d, SIGINT: 130 and nothing left?", way)
            << way << SIGINT << 130 << plain;
        QTest::addRow("way %d, SIGTERM: 143 and nothing left?", way)
            << way << SIGTERM << 143 << plain;
        QTest::addRow("way %d, SIGTERM, a part that could be continued: none left?", way)
            << way << SIGTERM << 143 << resumable;
    }
}

void tst_CliDownload::signalLeavesNoTemporaryFile()
{
    QFETCH(int, way);
    QFETCH(int, signal);
    QFETCH(int, status);
    QFETCH(QString, address);
    QTemporaryDir dest;
    QProcess cli;
    cli.start(QStringLiteral(HARVLY_CLI), {"download", "--no-document-check", "--dest", dest.path(),
                                           "--way", QString::number(way), m_root + address});
    QVERIFY(cli.waitForStarted());
    const auto entries = [&] { return QDir(dest.path()).entryList(QDir::Files | QDir::Hidden); };
    QTRY_VERIFY_WITH_TIMEOUT(!entries().isEmpty(), 10000); // the transfer is writing
    ::kill(pid_t(cli.processId()), signal);
    QVERIFY(cli.waitForFinished(10000));
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
    QCOMPARE(cli.exitCode(), status);
    QCOMPARE(entries(), QStringList{});
}

void tst_CliDownload::killedRunGoesOnWhereItStood_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("way 1") << 1;
    QTest::newRow("way 2") << 2;
}

void tst_CliDownload::killedRunGoesOnWhereItStood()
{
    QFETCH(int, way);
    QTemporaryDir work;
    const QString dest = work.filePath("dest");
    const QString state = work.filePath("state.json");
    QStringList args{"download",   "--no-document-check",
                     "--dest",     dest,
                     "--way",      QString::number(way),
                     "--threads",  "3",
                     "--state",    state,
                     "--interval", "0"};
    for (int i = 1; i <= 12; ++i) {
        args << m_root + QString("pdf/%1.pdf?fault=slow&chunk=200&interval=40").arg(i);
    }
    QProcess first;
    first.start(QStringLiteral(HARVLY_CLI), args);
    QVERIFY(first.waitForStarted());
    const auto pdfs = [&] { return QDir(dest).entryList({"*.pdf"}, QDir::Files); };
    QTRY_VERIFY_WITH_TIMEOUT(pdfs().size() >= 3, 60000); // some rows finished
    QTest::qWait(1200);                                  // and the store has seen them
    ::kill(pid_t(first.processId()), SIGKILL);
    QVERIFY(first.waitForFinished(10000));
    const QStringList before = pdfs();
    QVERIFY(before.size() < 12);
    QProcess second;
    second.start(QStringLiteral(HARVLY_CLI), args); // the same command again
    QVERIFY(second.waitForFinished(120000));
    QCOMPARE(second.exitCode(), 0);
    const QStringList lines =
        QString::fromUtf8(second.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 12); // no row twice
    QStringList after = pdfs();
    QCOMPARE(after.size(), 12); // no file twice, none lost
    for (const QString &name : after) {
        QVERIFY2(!name.contains('['), qPrintable(name)); // no "[0001]": nothing fetched again
    }
}

void tst_CliDownload::killedTransferGoesOnFromItsPart_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("way 1") << 1;
    QTest::newRow("way 2") << 2;
}

// Killed in the middle of a document: the same command again asks only for the rest, and
// the document ends byte for byte as sent.
void tst_CliDownload::killedTransferGoesOnFromItsPart()
{
    QFETCH(int, way);
    const int id = 40 + way;
    constexpr qint64 size = 900000;
    QTemporaryDir work;
    const QString dest = work.filePath("dest");
    const QString state = work.filePath("state.json");
    const QStringList args{"download",
                           "--no-document-check",
                           "--dest",
                           dest,
                           "--way",
                           QString::number(way),
                           "--state",
                           state,
                           m_root + QString("resumable/%1?size=%2&slow=3000").arg(id).arg(size)};
    QProcess first;
    first.start(QStringLiteral(HARVLY_CLI), args);
    QVERIFY(first.waitForStarted());
    // The store lists the part once it can be continued; more is written meanwhile.
    const auto listedPart = [&] {
        QFile f(state);
        if (!f.open(QIODevice::ReadOnly)) {
            return QJsonObject();
        }
        const QJsonArray rows =
            QJsonDocument::fromJson(f.readAll()).object().value("rows").toArray();
        return rows.isEmpty() ? QJsonObject() : rows.first().toObject().value("part").toObject();
    };
    QTRY_VERIFY_WITH_TIMEOUT(!listedPart().value("validator").toString().isEmpty(), 30000);
    const QString part = listedPart().value("path").toString();
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(part).size() > size / 4, 30000);
    ::kill(pid_t(first.processId()), SIGKILL);
    QVERIFY(first.waitForFinished(10000));
    const qint64 had = QFileInfo(part).size();
    QVERIFY(had > size / 4 && had < size);

    QProcess second;
    second.start(QStringLiteral(HARVLY_CLI), args); // the same command again
    QVERIFY(second.waitForFinished(120000));
    QCOMPARE(second.exitCode(), 0);
    const QStringList files = QDir(dest).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(files.size(), 1); // the document, and no part left
    QFile done(QDir(dest).filePath(files.first()));
    QVERIFY(done.open(QIODevice::ReadOnly));
    QVERIFY(done.readAll() == harvly::testsite::ResumableBody(id, size));

    // The second run asked for the rest only, from where the part stood.
    QNetworkAccessManager network;
    std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(QUrl(m_root + "ranges"))));
    QTRY_VERIFY(reply->isFinished());
    const QStringList asked =
        QString::fromUtf8(reply->readAll()).split('\n').filter(QString("/resumable/%1?").arg(id));
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.first().section("bytes=", 1).section('-', 0, 0).toLongLong(), had);
}

void tst_CliDownload::oneRunAtATimePerStateFile()
{
    QTemporaryDir work;
    const QString state = work.filePath("state.json");
    const QStringList args{"download", "--no-document-check", "--dest", work.filePath("dest"),
                           "--state", state,
                           // Slow enough (about 4 s) to be killed while it runs.
                           m_root + "pdf/61.pdf?fault=slow&chunk=200&interval=40&size=20000"};
    QProcess first;
    first.start(QStringLiteral(HARVLY_CLI), args);
    QVERIFY(first.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(state + ".lock"), 10000);
    QProcess second; // a second terminal, or a timer that fired twice
    second.start(QStringLiteral(HARVLY_CLI), args);
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 2);
    QCOMPARE(QString::fromUtf8(second.readAllStandardError()).trimmed(),
             QString("download: %1 is in use by process %2").arg(state).arg(first.processId()));
    QCOMPARE(second.readAllStandardOutput(), QByteArray()); // it fetched nothing
    ::kill(pid_t(first.processId()), SIGKILL);
    QVERIFY(first.waitForFinished(10000));
    // The lock of a run that died is taken over: the same command goes on.
    QProcess third;
    third.start(QStringLiteral(HARVLY_CLI), args);
    QVERIFY(third.waitForFinished(60000));
    QCOMPARE(third.exitCode(), 0);
    QCOMPARE(QDir(work.filePath("dest")).entryList({"*.pdf"}, QDir::Files).size(), 1);
}

void tst_CliDownload::listFromStandardInput()
{
    QTemporaryDir work;
    QProcess run;
    run.start(QStringLiteral(HARVLY_CLI),
              {"download", "--no-document-check", "--dest", work.path(), "--list", "-"});
    QVERIFY(run.waitForStarted());
    run.write((m_root + "pdf/62.pdf\tFrom the pipe\n\n" + m_root + "pdf/63.pdf\n").toUtf8());
    run.closeWriteChannel();
    QVERIFY(run.waitForFinished(60000));
    QCOMPARE(run.exitCode(), 0);
    QCOMPARE(QDir(work.path()).entryList({"*.pdf"}, QDir::Files, QDir::Name),
             (QStringList{"63.pdf", "From the pipe.pdf"}));
}

void tst_CliDownload::runAgainRetriesTheFailedRows()
{
    QTemporaryDir work;
    const QString dest = work.filePath("dest");
    // The first answer for the second document is cut off.
    const QStringList args{"download",
                           "--no-document-check",
                           "--dest",
                           dest,
                           "--retries",
                           "0",
                           "--state",
                           work.filePath("state.json"),
                           m_root + "pdf/64.pdf",
                           m_root + "resumable/65?size=50000&cut=20000"};
    QProcess first;
    first.start(QStringLiteral(HARVLY_CLI), args);
    QVERIFY(first.waitForFinished(60000));
    QCOMPARE(first.exitCode(), 1);
    QVERIFY(QString::fromUtf8(first.readAllStandardOutput()).contains("Failed"));
    const QDateTime finishedAt = QFileInfo(dest + "/64.pdf").lastModified();
    // The rows carry citation records, as a list kept by the download window does.
    const QString state = work.filePath("state.json");
    const auto rowsOf = [&state] {
        QFile f(state);
        return f.open(QIODevice::ReadOnly)
                   ? QJsonDocument::fromJson(f.readAll()).object().value("rows").toArray()
                   : QJsonArray();
    };
    {
        QFile f(state);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QJsonObject root = QJsonDocument::fromJson(f.readAll()).object();
        f.close();
        QJsonArray rows = root.value("rows").toArray();
        for (qsizetype i = 0; i < rows.size(); ++i) {
            QJsonObject row = rows.at(i).toObject();
            row.insert("record", QJsonObject{{"title", QString("Kept 水稻 %1").arg(i)},
                                             {"DOI", QString("10.5555/kept.%1").arg(i)}});
            rows.replace(i, row);
        }
        root.insert("rows", rows);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QJsonDocument(root).toJson());
    }
    QTest::qWait(20);
    QProcess again; // as wget -c: what failed is tried again, what finished stays
    again.start(QStringLiteral(HARVLY_CLI), args);
    QVERIFY(again.waitForFinished(60000));
    QCOMPARE(again.exitCode(), 0);
    const QJsonArray kept = rowsOf(); // the records outlive the restart and the new writes
    QCOMPARE(kept.size(), 2);
    for (qsizetype i = 0; i < kept.size(); ++i) {
        const QJsonObject record = kept.at(i).toObject().value("record").toObject();
        QCOMPARE(record.value("DOI").toString(), QString("10.5555/kept.%1").arg(i));
        QCOMPARE(record.value("title").toString(), QString("Kept 水稻 %1").arg(i));
    }
    QCOMPARE(QFileInfo(dest + "/64.pdf").lastModified(), finishedAt);
    const QStringList files = QDir(dest).entryList(QDir::Files, QDir::Name);
    QCOMPARE(files.size(), 2);
    QCOMPARE(QFileInfo(dest + "/" + files.at(1)).size(), 50000); // continued to its end
}

void tst_CliDownload::documentCheckAndItsSwitch_data()
{
    QTest::addColumn<bool>("checked");
    QTest::addColumn<int>("way");
    for (const int way : {1, 2}) {
        QTest::addRow("checked, way %d", way) << true << way;
        QTest::addRow("--no-document-check, way %d", way) << false << way;
    }
}

void tst_CliDownload::documentCheckAndItsSwitch()
{
    QFETCH(bool, checked);
    QFETCH(int, way);
    QTemporaryDir work;
    QStringList args{"download",           "--json", "--retries", "0",      "--way",
                     QString::number(way), "--dest", work.path(), "--list", "-"};
    if (!checked) {
        args.insert(1, "--no-document-check");
    }
    QProcess run;
    run.start(QStringLiteral(HARVLY_CLI), args);
    QVERIFY(run.waitForStarted());
    run.write((m_root + "pdf/66.pdf?fault=damaged\tA damaged paper\n" + m_root +
               "pdf/67.pdf?fault=wrongpaper\tThe paper that was not sent\n")
                  .toUtf8());
    run.closeWriteChannel();
    QVERIFY(run.waitForFinished(60000));
    QCOMPARE(run.exitCode(), checked ? 1 : 0);
    QMap<QString, QJsonObject> rows; // by title
    for (const QByteArray &line : run.readAllStandardOutput().split('\n')) {
        const QJsonObject row = QJsonDocument::fromJson(line).object();
        rows.insert(row.value("title").toString(), row);
    }
    const QJsonObject damaged = rows.value("A damaged paper");
    const QJsonObject wrong = rows.value("The paper that was not sent");
    QCOMPARE(damaged.value("state").toString(), checked ? "Failed" : "Finished");
    QCOMPARE(damaged.value("reason").toString().startsWith("Damaged PDF: "), checked);
    QCOMPARE(wrong.value("state").toString(), "Finished");
    QCOMPARE(wrong.value("reason").toString(),
             checked ? "Title not found in the document" : QString());
    QCOMPARE(wrong.value("pages").toInt(), checked ? 1 : 0);
    // Nothing damaged is left on disk under the row's name.
    QCOMPARE(QFileInfo::exists(work.filePath("A damaged paper.pdf")), !checked);
}

QTEST_GUILESS_MAIN(tst_CliDownload)
#include "tst_clidownload.moc"
