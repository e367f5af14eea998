// The browser cache at scale: 10,000 entries (written in the engine's layout) listed and
// exported, beside `cp -r` of the same folder.
#include "support/cachewriter.h"
#include "tools/browsercache.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

using namespace harvly;

namespace {

QTextStream out(stdout);

double runSeconds(const QString &program, const QStringList &args)
{
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    p.waitForFinished(-1);
    return p.exitStatus() == QProcess::NormalExit ? t.elapsed() / 1000.0 : -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int entries = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    QTemporaryDir dir;
    // A second argument keeps the cache made there, to look at or profile afterwards.
    const QString profile =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir.filePath(QStringLiteral("profile/cache"));
    const QString data = profile + QStringLiteral("/Cache/Cache_Data");
    WriteCacheIndex(data);
    QByteArray pdf = "%PDF-1.4\n";
    while (pdf.size() < 16 * 1024) {
        pdf += "0123456789abcdefghijklmnopqrstuvwxyz ";
    }
    for (int i = 0; i < entries; ++i) {
        CacheEntryWriter w;
        w.address = QStringLiteral("http://site.example/pdf/%1.pdf?accountid=7").arg(i);
        w.body = pdf;
        w.headers = {"Content-Type: application/pdf"};
        w.writeTo(data);
    }
    out << entries << " cache entries of 16 KiB\n";
    out.flush();

    QElapsedTimer t;
    t.start();
    const CacheListing listing = ListCache(profile);
    const double list = t.elapsed() / 1000.0;
    out << "  list: " << QString::number(list, 'f', 3) << " s for " << listing.entries.size()
        << " entries (goal under 1 s)\n";

    const QString cli =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../src/cli/harvly-cli");
    const double exported =
        runSeconds(cli, {QStringLiteral("cache"), QStringLiteral("export"),
                         dir.filePath(QStringLiteral("out")), QStringLiteral("--dir"), profile});
    const double copied = runSeconds(
        QStringLiteral("cp"), {QStringLiteral("-r"), profile, dir.filePath(QStringLiteral("cp"))});
    out << "  harvly-cli cache export: " << QString::number(exported, 'f', 3)
        << " s (goal under 5 s); cp -r of the same folder: " << QString::number(copied, 'f', 3)
        << " s, ratio " << QString::number(exported / copied, 'f', 1) << "x of cp's time\n";
    return listing.entries.size() == entries ? 0 : 1;
}
