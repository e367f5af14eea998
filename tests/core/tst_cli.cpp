#include <QProcess>
#include <QTest>

class tst_Cli : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void coreLinksNoWindowLibrary();

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
    QProcess ldd;
    ldd.start("ldd", {QStringLiteral(HARVLY_CLI)});
    QVERIFY(ldd.waitForFinished(30000));
    const QString libs = QString::fromUtf8(ldd.readAllStandardOutput());
    QVERIFY(libs.contains("libQt6Core"));
    QVERIFY2(!libs.contains("libQt6Widgets"), qPrintable(libs));
    // The offscreen browser brings Qt's graphics base, never the window library.
    QVERIFY2(!libs.contains("libQt6Widgets"), qPrintable(libs));
    QVERIFY2(!libs.contains("WebEngineWidgets"), qPrintable(libs));
}

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
