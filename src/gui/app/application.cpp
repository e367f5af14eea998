#include "application.h"

#include "artwork.h"
#include "common/program.h"
#include "fcover.h"
#include "workspace.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QTranslator>

namespace harvly {

namespace {

// "--site URL" opens the search window on another site for this run only; other arguments
// are left to Qt.
// The value of "--name VALUE" or "--name=VALUE" among the arguments, or "".
QString optionValue(const QStringList &args, const QString &name)
{
    const qsizetype at = args.indexOf(name);
    if (at >= 0 && at + 1 < args.size()) {
        return args.at(at + 1);
    }
    for (const QString &a : args) {
        if (a.startsWith(name + QLatin1Char('='))) {
            return a.mid(name.size() + 1);
        }
    }
    return {};
}

} // namespace

int RunProgram(int argc, char *argv[], const Build &build)
{
    // The embedded browser shares its drawing contexts; this must be said before the app exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Harvly"));
    QCoreApplication::setApplicationName(build.applicationTitle);
    QCoreApplication::setApplicationVersion(build.versionText());
    QApplication::setWindowIcon(ProgramIcon());

    QTranslator qtTexts;
    QTranslator ownTexts;
    if (!build.translationResource.isEmpty()) {
        if (qtTexts.load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(&qtTexts);
        }
        if (ownTexts.load(build.translationResource)) {
            QCoreApplication::installTranslator(&ownTexts);
        }
    }

    Program program(build);
    program.runArguments = QCoreApplication::arguments().mid(1);
    program.listStoreFile = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
                            QStringLiteral("/downloadlist.json");
    const QStringList args = QCoreApplication::arguments();
    const QString site = optionValue(args, QStringLiteral("--site"));
    if (!site.isEmpty()) {
        program.siteAddress = site;
    }
    // For this run only (the demo's sample site), never stored.
    const QString updateServer = optionValue(args, QStringLiteral("--update-server"));
    if (!updateServer.isEmpty()) {
        program.updateServer = updateServer;
    }
    program.doiResolver = optionValue(args, QStringLiteral("--doi-resolver"));
    Workspace workspace(program,
                        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
                            QStringLiteral("/browser"));
    fCover cover(workspace);
    cover.Form_Load();
    return app.exec();
}

} // namespace harvly
