// Draws the program's icon into PNG files for the desktop's icon theme:
//   harvly-icons FOLDER SIZE...   writes FOLDER/harvly-SIZE.png
#include "app/artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen"); // made at build time, with or without a display
    }
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 2) {
        QTextStream(stderr) << "Usage: harvly-icons FOLDER SIZE...\n";
        return 2;
    }
    QDir().mkpath(args.first());
    for (const QString &size : args.mid(1)) {
        const QString file = QDir(args.first()).filePath(QStringLiteral("harvly-%1.png").arg(size));
        if (!harvly::ProgramIconImage(size.toInt()).save(file)) {
            QTextStream(stderr) << "harvly-icons: cannot write " << file << '\n';
            return 1;
        }
    }
    return 0;
}
