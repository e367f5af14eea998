#include "testsite.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("harvly-testsite"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Serves the sample literature site on 127.0.0.1 for tests and the demo."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port to listen on (0: a free one)."),
                                        QStringLiteral("N"), QStringLiteral("0"));
    parser.addOption(portOption);
    const QCommandLineOption versionOption(
        QStringLiteral("latest-version"),
        QStringLiteral("The version its update file announces (default 1.7.519)."),
        QStringLiteral("V"), QStringLiteral("1.7.519"));
    parser.addOption(versionOption);
    parser.process(app);

    bool ok = false;
    const uint port = parser.value(portOption).toUInt(&ok);
    if (!ok || port > 65535) {
        QTextStream(stderr) << "harvly-testsite: bad port '" << parser.value(portOption) << "'\n";
        return 2;
    }
    harvly::testsite::TestSite site;
    site.latestVersion = parser.value(versionOption);
    if (!site.start(quint16(port))) {
        QTextStream(stderr) << "harvly-testsite: cannot listen on 127.0.0.1:" << port << '\n';
        return 1;
    }
    // The first line tells a starting script where the site is.
    QTextStream(stdout) << site.url().toString() << Qt::endl;
    return app.exec();
}
