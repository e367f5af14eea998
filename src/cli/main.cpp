#include "common/build.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

namespace {

const char *const kUsage = R"(Usage: harvly-cli [--version] [--help]

Runs the download manager's core without windows.

Options:
  --version   print the program's version and exit
  --help      print this help and exit
)";

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const harvly::Build build = harvly::Build::english();
    QCoreApplication::setApplicationName(QStringLiteral("harvly-cli"));
    QCoreApplication::setApplicationVersion(build.versionText());

    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        err << kUsage;
        return 2;
    }
    for (const QString &arg : args) {
        if (arg != QLatin1String("--version") && arg != QLatin1String("--help") &&
            arg != QLatin1String("-h")) {
            err << "harvly-cli: unknown argument '" << arg << "'\n"
                << "Try 'harvly-cli --help'.\n";
            return 2;
        }
    }
    if (args.contains(QLatin1String("--version"))) {
        out << "harvly-cli " << build.versionText() << '\n';
    } else {
        out << kUsage;
    }
    return 0;
}
