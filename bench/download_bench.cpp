// Download speed and memory of harvly-cli against curl, on the sample site over loopback.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <cmath>

namespace {

QTextStream out(stdout);

struct Run {
    double seconds = 0;
    QByteArray stdoutText;
    QByteArray stderrText;
    int status = -1;
};

// Runs a program to its end; the site is a process of its own, so waiting blocks nothing.
Run run(const QString &program, const QStringList &args)
{
    Run r;
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (!p.waitForStarted() || !p.waitForFinished(-1)) {
        return r;
    }
    r.seconds = t.elapsed() / 1000.0;
    r.stdoutText = p.readAllStandardOutput();
    r.stderrText = p.readAllStandardError();
    r.status = p.exitCode();
    return r;
}

// The transfer seconds harvly-cli reports for its rows (7th field), summed.
double rowSeconds(const QByteArray &text)
{
    double total = 0;
    for (const QByteArray &line : text.split('\n')) {
        const QList<QByteArray> f = line.split('\t');
        if (f.size() >= 8) {
            total += f.at(6).toDouble();
        }
    }
    return total;
}

QString fmt(double v, int decimals = 2)
{
    return QString::number(v, 'f', decimals);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString cli =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../src/cli/harvly-cli");
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    const QString time =
        QStandardPaths::findExecutable(QStringLiteral("time"), {QStringLiteral("/usr/bin")});
    if (curl.isEmpty()) {
        out << "download bench: curl is missing (apt-get install curl)\n";
        return 1;
    }
    QProcess site;
    site.start(QCoreApplication::applicationDirPath() +
                   QStringLiteral("/../testsite/harvly-testsite"),
               {QStringLiteral("--port"), QStringLiteral("0")});
    if (!site.waitForReadyRead(10000)) {
        out << "download bench: the sample site did not start\n";
        return 1;
    }
    const QString root = QString::fromUtf8(site.readLine()).trimmed(); // "http://127.0.0.1:port/"
    const auto url = [&root](const QString &path) { return root.chopped(1) + path; };
    QTemporaryDir dir;
    const qint64 gib =
        argc > 1 ? QByteArray(argv[1]).toLongLong() * 1024 * 1024 : 1024LL * 1024 * 1024;
    const QString big = url(QStringLiteral("/big/1.bin?size=%1").arg(gib));

    out << "one file of " << gib / (1024 * 1024) << " MiB over loopback\n";
    out.flush();
    const Run c =
        run(curl, {QStringLiteral("-s"), QStringLiteral("-o"), dir.filePath("curl.bin"), big});
    QFile::remove(dir.filePath("curl.bin"));
    out << "  curl -o:            " << fmt(c.seconds) << " s\n";
    for (const int way : {1, 2}) {
        const QString dest = dir.filePath(QStringLiteral("way%1").arg(way));
        const Run h = run(cli, {QStringLiteral("download"), QStringLiteral("--dest"), dest,
                                QStringLiteral("--way"), QString::number(way),
                                QStringLiteral("--interval"), QStringLiteral("0"), big});
        const double transfer = rowSeconds(h.stdoutText);
        out << "  harvly-cli way " << way << ":    " << fmt(transfer) << " s transfer ("
            << fmt(h.seconds) << " s with the start tick), throughput ratio to curl "
            << fmt(c.seconds / std::max(transfer, 0.001)) << "x\n";
        out.flush();
        QDir(dest).removeRecursively();
    }

    const int count = 200;
    QStringList urls;
    for (int i = 0; i < count; ++i) {
        urls << url(QStringLiteral("/big/%1.bin?size=%2").arg(i + 100).arg(256 * 1024));
    }
    out << count << " files of 256 KiB\n";
    QStringList curlArgs{QStringLiteral("-s"),
                         QStringLiteral("--parallel"),
                         QStringLiteral("--parallel-max"),
                         QStringLiteral("6"),
                         QStringLiteral("--output-dir"),
                         dir.filePath(QStringLiteral("curlmany"))};
    QDir().mkpath(dir.filePath(QStringLiteral("curlmany")));
    for (int i = 0; i < count; ++i) {
        curlArgs << QStringLiteral("-o") << QStringLiteral("f%1.bin").arg(i) << urls.at(i);
    }
    const Run cm = run(curl, curlArgs);
    const Run hm = run(cli, QStringList{QStringLiteral("download"), QStringLiteral("--dest"),
                                        dir.filePath(QStringLiteral("many")),
                                        QStringLiteral("--way"), QStringLiteral("2"),
                                        QStringLiteral("--threads"), QStringLiteral("6")} +
                                urls);
    // At most six starts on each one-second tick: the schedule cannot finish sooner.
    const double tickBound = std::ceil(count / 6.0);
    out << "  harvly-cli way 2, 6 slots: " << fmt(hm.seconds) << " s; tick-bound minimum "
        << fmt(tickBound, 0) << " s; ratio to the minimum " << fmt(tickBound / hm.seconds) << "x\n";
    out << "  curl --parallel-max 6 (for reference): " << fmt(cm.seconds) << " s\n";
    out.flush();

    if (time.isEmpty()) {
        out << "peak memory: GNU time is missing (apt-get install time)\n";
        site.kill();
        site.waitForFinished();
        return 0;
    }
    out << "peak memory of harvly-cli download (way 1)\n";
    for (const qint64 size : {10LL * 1024 * 1024, gib}) {
        const QString dest = dir.filePath(QStringLiteral("mem"));
        const Run m =
            run(time, {QStringLiteral("-f"), QStringLiteral("%M"), cli, QStringLiteral("download"),
                       QStringLiteral("--dest"), dest, QStringLiteral("--interval"),
                       QStringLiteral("0"), url(QStringLiteral("/big/2.bin?size=%1").arg(size))});
        const QList<QByteArray> lines = m.stderrText.trimmed().split('\n');
        out << "  " << size / (1024 * 1024) << " MiB file: " << lines.last().trimmed() << " KiB\n";
        QDir(dest).removeRecursively();
    }
    site.kill();
    site.waitForFinished();
    return 0;
}
