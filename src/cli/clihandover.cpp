#include "cliweb.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <unistd.h>
#else
#include <QProcess>
#endif

namespace harvly {

namespace {

// harvly-cli-web: beside this program in the build tree, in the library-executable folder
// once installed.
QString browserProgram()
{
    const QString here = QCoreApplication::applicationDirPath();
    const QString name = QStringLiteral("harvly-cli-web");
    for (const QString &folder :
         {here, here + QStringLiteral("/" HARVLY_LIBEXEC_FROM_BIN "/harvly")}) {
        const QFileInfo candidate(folder + QLatin1Char('/') + name);
        if (candidate.isExecutable()) {
            return QDir::cleanPath(candidate.absoluteFilePath());
        }
    }
    return here + QStringLiteral("/" HARVLY_LIBEXEC_FROM_BIN "/harvly/") + name;
}

} // namespace

int HandOverToBrowser(const QString &command, char **argv)
{
    int argc = 1;
    QString program;
    {
        QCoreApplication app(argc, argv); // to know where this program lies
        program = browserProgram();
    }
    QTextStream err(stderr);
#ifdef Q_OS_UNIX
    // In this process's place: the same standard streams, signals and exit status.
    const QByteArray path = QFile::encodeName(program);
    execv(path.constData(), argv);
    const QString why = QString::fromLocal8Bit(std::strerror(errno));
#else
    QStringList args;
    for (char **a = argv + 1; *a; ++a) {
        args << QString::fromLocal8Bit(*a);
    }
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.setInputChannelMode(QProcess::ForwardedInputChannel);
    child.start(program, args);
    if (child.waitForFinished(-1) && child.exitStatus() == QProcess::NormalExit) {
        return child.exitCode();
    }
    const QString why = child.errorString();
#endif
    err << "harvly-cli: " << command
        << " needs the browser engine, which cannot be loaded: " << program << ": " << why << '\n';
    return 2;
}

} // namespace harvly
