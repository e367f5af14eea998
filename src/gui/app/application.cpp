#include "application.h"

#include "artwork.h"
#include "common/program.h"
#include "fcover.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace harvly {

int RunProgram(int argc, char *argv[], const Build &build)
{
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
    fCover cover(program);
    cover.Form_Load();
    return app.exec();
}

} // namespace harvly
