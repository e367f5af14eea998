#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class tst_Cli : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void coreLinksNoWindowLibrary();
    void withoutTheBrowserEngine_data();
    void withoutTheBrowserEngine();
    void completionFollowsTheTables_data();
    void completionFollowsTheTables();

private:
    static QProcess *run(const QStringList &args)
    {
        auto *p = new QProcess;
        p->start(QStringLiteral(HARVLY_CLI), args);
        p->waitForFinished(30000);
        return p;
    }
};

void tst_Cli::answers_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    QTest::newRow("version") << QStringList{"--version"} << 0 << "harvly-cli 1.7.519\n"
                             << "";
    QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage: harvly-cli"
                          << "";
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << 2 << ""
                                    << "unknown argument '--frobnicate'";
    QTest::newRow("unknown after a known one") << QStringList{"--version", "x"} << 2 << ""
                                               << "unknown argument 'x'";
    QTest::newRow("nothing asked") << QStringList{} << 2 << ""
                                   << "Usage: harvly-cli";
    // Every command answers --help (or -h) with its own usage, on standard output.
    for (const char *command : {"harvest", "analyse", "bulk", "cache", "download", "identify"}) {
        QTest::addRow("%s --help", command) << QStringList{command, "--help"} << 0
                                            << QString("Usage: harvly-cli %1").arg(command) << "";
        QTest::addRow("%s -h after other words", command)
            << QStringList{command, "x", "-h"} << 0 << QString("Usage: harvly-cli %1").arg(command)
            << "";
    }
    // An unknown option: the usage, status 2.
    QTest::newRow("harvest --bogus") << QStringList{"harvest", "--bogus", "p.html"} << 2 << ""
                                     << "Usage: harvly-cli harvest";
    QTest::newRow("analyse --bogus") << QStringList{"analyse", "--bogus"} << 2 << ""
                                     << "Usage: harvly-cli analyse";
    QTest::newRow("identify --bogus") << QStringList{"identify", "--bogus"} << 2 << ""
                                      << "Usage: harvly-cli identify";
    QTest::newRow("download --bogus") << QStringList{"download", "--bogus"} << 2 << ""
                                      << "Usage: harvly-cli download";
    QTest::newRow("bulk --bogus") << QStringList{"bulk", "--bogus", "x"} << 2 << ""
                                  << "Usage: harvly-cli bulk";
    QTest::newRow("cache --bogus") << QStringList{"cache", "list", "--bogus"} << 2 << ""
                                   << "Usage: harvly-cli cache";
    // "--" ends the options: what follows is a name, even "--help".
    QTest::newRow("identify -- --help")
        << QStringList{"identify", "--", "--help"} << 0 << "\t--help\n"
        << "";
    QTest::newRow("analyse -- --help") << QStringList{"analyse", "--", "--help"} << 1 << ""
                                       << "cannot fetch --help";
    QTest::newRow("download -- -x (no --dest)") << QStringList{"download", "--", "-x"} << 2 << ""
                                                << "--dest is needed";
}

void tst_Cli::answers()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    std::unique_ptr<QProcess> p(run(args));
    QCOMPARE(p->exitStatus(), QProcess::NormalExit);
    QCOMPARE(p->exitCode(), status);
    const QString stdoutText = QString::fromUtf8(p->readAllStandardOutput());
    const QString stderrText = QString::fromUtf8(p->readAllStandardError());
    if (out.isEmpty()) {
        QVERIFY(stdoutText.isEmpty());
    } else {
        QVERIFY2(stdoutText.startsWith(out), qPrintable(stdoutText));
    }
    if (!err.isEmpty()) {
        QVERIFY2(stderrText.contains(err), qPrintable(stderrText));
    }
}

void tst_Cli::coreLinksNoWindowLibrary()
{
    const auto librariesOf = [](const QString &program) {
        QProcess ldd;
        ldd.start("ldd", {program});
        ldd.waitForFinished(30000);
        return QString::fromUtf8(ldd.readAllStandardOutput());
    };
    // harvly-cli: the core alone; the browser engine, Qt's graphics and Poppler (a module the
    // document check loads) are not loaded at its start.
    const QString light = librariesOf(QStringLiteral(HARVLY_CLI));
    QVERIFY(light.contains("libQt6Core"));
    for (const char *heavy : {"libQt6Gui", "WebEngine", "libQt6Widgets", "poppler"}) {
        QVERIFY2(!light.contains(heavy), qPrintable(light));
    }
    // harvly-cli-web: the offscreen browser brings Qt's graphics base, never the window library.
    const QString web = librariesOf(QStringLiteral(HARVLY_CLI_WEB));
    QVERIFY2(web.contains("libQt6WebEngineCore"), qPrintable(web));
    QVERIFY2(!web.contains("libQt6Widgets") && !web.contains("WebEngineWidgets"), qPrintable(web));
}

void tst_Cli::withoutTheBrowserEngine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("err");
    const QString engine = "needs the browser engine, which cannot be loaded";
    QTest::newRow("harvest") << QStringList{"harvest", "http://127.0.0.1:1/"} << 2 << engine;
    QTest::newRow("bulk --web") << QStringList{"bulk", "--web", "-"} << 2 << engine;
    QTest::newRow("fetch --web") << QStringList{"fetch", "--web", "--dest", "d",
                                                "http://127.0.0.1:1/"}
                                 << 2 << engine;
    QTest::newRow("cookies import") << QStringList{"cookies", "import", "c.txt"} << 2 << engine;
    // The rest runs as before.
    QTest::newRow("cookies export")
        << QStringList{"cookies", "export", "--bogus"} << 2 << "Usage: harvly-cli cookies";
    QTest::newRow("analyse") << QStringList{"analyse", "--", "--help"} << 1
                             << "cannot fetch --help";
    QTest::newRow("harvest --static")
        << QStringList{"harvest", "--static", "none.html"} << 1 << "harvest: cannot read none.html";
}

void tst_Cli::withoutTheBrowserEngine()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, err);
    // harvly-cli alone in a folder: no harvly-cli-web beside it or where it is installed.
    QTemporaryDir alone;
    const QString copy = alone.filePath("harvly-cli");
    QVERIFY(QFile::copy(QStringLiteral(HARVLY_CLI), copy));
    QProcess p;
    p.setWorkingDirectory(alone.path());
    p.start(copy, args);
    p.closeWriteChannel();
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), status);
    const QString said = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(said.contains(err), qPrintable(said));
}

void tst_Cli::completionFollowsTheTables_data()
{
    QTest::addColumn<QStringList>("words"); // after "harvly-cli"; the last is being completed
    QTest::addColumn<QString>("offered");   // sorted, separated by spaces
    QTest::newRow("a command") << QStringList{"d"} << "download";
    QTest::newRow("an option") << QStringList{"download", "--th"} << "--threads";
    QTest::newRow("the way's words") << QStringList{"download", "--way", ""} << "1 2";
    QTest::newRow("download's same-name words")
        << QStringList{"download", "--same-name", ""} << "Cover Rename Skip";
    QTest::newRow("cache's same-name words")
        << QStringList{"cache", "export", "--same-name", "same"} << "same-size same-size-and-time";
    QTest::newRow("cache's first word") << QStringList{"cache", ""} << "--help export list";
    QTest::newRow("an option of export only")
        << QStringList{"cache", "export", "--ma"} << "--match";
    QTest::newRow("not after list") << QStringList{"cache", "list", "--ma"} << "";
    QTest::newRow("a number is not completed") << QStringList{"bulk", "--delay", ""} << "";
    QTest::newRow("the destination is a folder")
        << QStringList{"download", "--dest", "@/s"} << "@/sub";
    QTest::newRow("a list is a file")
        << QStringList{"download", "--list", "@/s"} << "@/sub @/subfile";
}

void tst_Cli::completionFollowsTheTables()
{
    QFETCH(QStringList, words);
    QFETCH(QString, offered);
    QTemporaryDir dir; // "@" in a word: a folder that holds the folder sub and the file subfile
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    QFile file(dir.filePath("subfile"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    words.replaceInStrings("@", dir.path());
    QStringList quoted;
    for (const QString &w : words) {
        quoted << "'" + w + "'";
    }
    const QString script =
        QString("source '%1'; COMP_WORDS=(harvly-cli %2); COMP_CWORD=%3; "
                "_harvly_cli; printf '%s\\n' \"${COMPREPLY[@]}\" | LC_ALL=C sort")
            .arg(HARVLY_CLI_COMPLETION, quoted.join(' '))
            .arg(words.size());
    QProcess bash;
    bash.start("bash", {"-c", script});
    QVERIFY(bash.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(bash.readAllStandardError()), QString());
    const QString out = QString::fromUtf8(bash.readAllStandardOutput()).trimmed();
    QCOMPARE(out.split('\n', Qt::SkipEmptyParts).join(' '), offered.replace("@", dir.path()));
}

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
