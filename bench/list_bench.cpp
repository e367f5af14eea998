// The download list at scale: 100,000 rows added, sorted by size, counted and shuffled.
#include "download/downloadlist.h"
#include "download/listcommands.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <random>

using namespace harvly;

namespace {

QTextStream out(stdout);

void report(const char *what, double ms, double goalMs)
{
    out << "  " << what << ": " << QString::number(ms, 'f', 2) << " ms (goal under "
        << QString::number(goalMs, 'f', 0) << " ms, " << QString::number(goalMs / ms, 'f', 1)
        << "x inside it)\n";
    out.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    out << "download list of " << rows << " rows\n";
    DownloadListModel list;
    std::mt19937_64 random(7);
    QElapsedTimer t;

    t.start();
    for (int i = 0; i < rows; ++i) {
        const quint64 id =
            *list.add(QStringLiteral("http://site.example/docview/%1/fulltextPDF").arg(i),
                      QStringLiteral("Article %1 on a subject of some length").arg(i),
                      QStringLiteral("pdf"), QStringLiteral("/downloads/"), QString());
        list.update(id, [&](DownloadRow &r) {
            r.state = DownloadState(1 + int(random() % 4));
            r.fileSize = qint64(random() % 50'000'000);
            r.downloaded = r.fileSize;
            r.percentage = 100;
        });
    }
    report("add (with figures)", t.nsecsElapsed() / 1e6, 2000);

    t.restart();
    list.sort(DownloadListModel::FileSize, Qt::AscendingOrder);
    report("sort by size", t.nsecsElapsed() / 1e6, 500);

    t.restart();
    const QString counts = list.ListCountsText();
    report("counts of one tick", t.nsecsElapsed() / 1e6, 5);

    t.restart();
    ShuffleList(list, random);
    report("shuffle", t.nsecsElapsed() / 1e6, 500);
    out << "  (" << counts << ")\n";
    return 0;
}
