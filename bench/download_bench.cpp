// Download speed and memory of harvly-cli against curl over loopback.
//
// One large file (256 MiB unless told otherwise) from a real web server: nginx when it is
// installed (started here on a free port with a configuration of its own), else the sample
// site. curl and both ways of harvly-cli fetch it in turns, five rounds; each command's whole
// run counts, start included. Printed: every time, the medians, each way's ratio to curl's
// median, and each command's peak memory. Then 200 small files by the parallel way, against
// the schedule's own limit.
#include "pdfmaker.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <functional>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace {

QTextStream out(stdout);

struct Run {
    double seconds = -1;
    long peakKib = 0;
    int status = -1;
};

// Runs a program to its end with its output thrown away; its wall time and peak memory. The
// memory is GNU time's report: wait4's own counts a spawned child from the memory of the
// process that spawned it (its high-water mark survives the exec), 16 MiB here whatever ran.
Run run(const QString &program, const QStringList &args)
{
    static const QString memoryFile = QDir::temp().filePath(
        QStringLiteral("bench-download-%1.peak").arg(QCoreApplication::applicationPid()));
    std::vector<QByteArray> bytes{
        "/usr/bin/time",           "-f", "%M", "-o", QFile::encodeName(memoryFile),
        QFile::encodeName(program)};
    for (const QString &a : args) {
        bytes.push_back(a.toLocal8Bit());
    }
    std::vector<char *> argv;
    for (QByteArray &b : bytes) {
        argv.push_back(b.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    Run r;
    QElapsedTimer t;
    t.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        if (wait4(pid, &status, 0, &usage) == pid) {
            r.seconds = t.nsecsElapsed() / 1e9;
            QFile peak(memoryFile);
            r.peakKib = peak.open(QIODevice::ReadOnly) ? peak.readAll().trimmed().toLong() : -1;
            r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
    }
    posix_spawn_file_actions_destroy(&files);
    return r;
}

QString fmt(double v, int decimals = 2)
{
    return QString::number(v, 'f', decimals);
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}

QByteArray sha256(const QString &path)
{
    QFile f(path);
    QCryptographicHash h(QCryptographicHash::Sha256);
    return f.open(QIODevice::ReadOnly) && h.addData(&f) ? h.result() : QByteArray();
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// nginx serving folder on 127.0.0.1, as a process of this bench; stopped with it.
class Nginx
{
public:
    bool start(const QString &program, const QString &folder, const QString &work)
    {
        m_port = freePort();
        QDir().mkpath(work + QStringLiteral("/tmp"));
        QFile conf(work + QStringLiteral("/nginx.conf"));
        if (!conf.open(QIODevice::WriteOnly)) {
            return false;
        }
        conf.write(QStringLiteral("daemon off;\nworker_processes 1;\npid %1/nginx.pid;\n"
                                  "error_log %1/error.log;\nevents { worker_connections 64; }\n"
                                  "http {\n  access_log off;\n  sendfile on;\n  tcp_nopush on;\n"
                                  "  client_body_temp_path %1/tmp;\n  proxy_temp_path %1/tmp;\n"
                                  "  fastcgi_temp_path %1/tmp;\n  uwsgi_temp_path %1/tmp;\n"
                                  "  scgi_temp_path %1/tmp;\n  types { application/pdf pdf; }\n"
                                  "  server { listen 127.0.0.1:%2; root %3; }\n}\n")
                       .arg(work)
                       .arg(m_port)
                       .arg(folder)
                       .toUtf8());
        conf.close();
        m_process.start(program,
                        {QStringLiteral("-p"), work, QStringLiteral("-c"), conf.fileName()});
        if (!m_process.waitForStarted()) {
            return false;
        }
        // Ready once it accepts connections.
        for (int i = 0; i < 100; ++i) {
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, m_port);
            if (s.waitForConnected(100)) {
                return true;
            }
            QThread::msleep(50);
        }
        return false;
    }
    ~Nginx()
    {
        m_process.terminate();
        m_process.waitForFinished(3000);
    }
    quint16 port() const { return m_port; }

private:
    QProcess m_process;
    quint16 m_port = 0;
};

// A file of random bytes ending as a PDF ends, so the end check passes.
// A real PDF of the given size, as the site would serve a large article: its bulk a stream of
// random bytes, so that the document check opens it as it opens a user's.
bool makeFile(const QString &path, qint64 size)
{
    QFile f(path);
    QFile random(QStringLiteral("/dev/urandom"));
    if (!f.open(QIODevice::WriteOnly) || !random.open(QIODevice::ReadOnly)) {
        return false;
    }
    const harvly::testsite::PdfParts pdf =
        harvly::testsite::MakePdfParts(QStringLiteral("Big 1"), size);
    f.write(pdf.head);
    for (qint64 left = pdf.filler; left > 0;) {
        const QByteArray block = random.read(std::min<qint64>(left, 4 << 20));
        f.write(block);
        left -= block.size();
    }
    f.write(pdf.tail);
    f.setPermissions(f.permissions() | QFile::ReadOther | QFile::ReadGroup);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString cli =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../src/cli/harvly-cli");
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    const QString nginx = QStandardPaths::findExecutable(
        QStringLiteral("nginx"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    if (curl.isEmpty()) {
        out << "download bench: curl is missing (apt-get install curl)\n";
        return 1;
    }
    const qint64 size = (argc > 1 ? QByteArray(argv[1]).toLongLong() : 256) * 1024 * 1024;
    constexpr int rounds = 5;
    QTemporaryDir dir;

    QProcess site;
    site.start(QCoreApplication::applicationDirPath() +
                   QStringLiteral("/../testsite/harvly-testsite"),
               {QStringLiteral("--port"), QStringLiteral("0")});
    if (!site.waitForReadyRead(10000)) {
        out << "download bench: the sample site did not start\n";
        return 1;
    }
    const QString siteRoot = QString::fromUtf8(site.readLine()).trimmed().chopped(1);

    Nginx server;
    QString address;
    QString source; // the file as served, to compare with
    QDir().mkpath(dir.filePath(QStringLiteral("www")));
    // nginx's workers read the file as another user when it runs as root.
    const auto readable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                          QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(dir.path(), readable);
    QFile::setPermissions(dir.filePath(QStringLiteral("www")), readable);
    if (!nginx.isEmpty() && makeFile(dir.filePath(QStringLiteral("www/big.pdf")), size) &&
        server.start(nginx, dir.filePath(QStringLiteral("www")),
                     dir.filePath(QStringLiteral("nginx")))) {
        address = QStringLiteral("http://127.0.0.1:%1/big.pdf").arg(server.port());
        source = dir.filePath(QStringLiteral("www/big.pdf"));
        out << "one file of " << size / (1024 * 1024) << " MiB from nginx over loopback\n";
    } else {
        address = siteRoot + QStringLiteral("/big/1.pdf?size=%1").arg(size);
        out << "one file of " << size / (1024 * 1024) << " MiB from the sample site over "
            << "loopback (nginx is not installed)\n";
    }
    out.flush();

    // The peers that are installed, and both ways; each writes into a folder of its own.
    struct Command {
        QString name;
        QString program;
        std::function<QStringList(const QString &dest)> args;
    };
    QList<Command> commands{{QStringLiteral("curl -o"), curl, [&](const QString &dest) {
                                 return QStringList{QStringLiteral("-s"), QStringLiteral("-o"),
                                                    dest + QStringLiteral("/big.pdf"), address};
                             }}};
    const QString wget = QStandardPaths::findExecutable(QStringLiteral("wget"));
    const QString aria2c = QStandardPaths::findExecutable(QStringLiteral("aria2c"));
    if (!wget.isEmpty()) {
        commands << Command{QStringLiteral("wget -O"), wget, [&](const QString &dest) {
                                return QStringList{QStringLiteral("-q"), QStringLiteral("-O"),
                                                   dest + QStringLiteral("/big.pdf"), address};
                            }};
    }
    if (!aria2c.isEmpty()) {
        commands << Command{QStringLiteral("aria2c -x1"), aria2c, [&](const QString &dest) {
                                return QStringList{QStringLiteral("-q"),
                                                   QStringLiteral("-x1"),
                                                   QStringLiteral("--allow-overwrite=true"),
                                                   QStringLiteral("-d"),
                                                   dest,
                                                   address};
                            }};
    }
    for (const int way : {1, 2}) {
        commands << Command{QStringLiteral("harvly-cli way %1").arg(way), cli,
                            [&, way](const QString &dest) {
                                return QStringList{QStringLiteral("download"),
                                                   QStringLiteral("--dest"),
                                                   dest,
                                                   QStringLiteral("--way"),
                                                   QString::number(way),
                                                   QStringLiteral("--interval"),
                                                   QStringLiteral("0"),
                                                   address};
                            }};
    }
    const qsizetype n = commands.size();
    QList<QList<double>> times(n);
    QList<long> peak(n, 0);
    QList<bool> whole(n, true);
    for (int round = 1; round <= rounds; ++round) {
        for (qsizetype k = 0; k < n; ++k) {
            const QString dest = dir.filePath(QStringLiteral("out%1").arg(k));
            QDir().mkpath(dest);
            const Run r = run(commands.at(k).program, commands.at(k).args(dest));
            const QStringList got = QDir(dest).entryList(QDir::Files | QDir::Hidden);
            if (r.status != 0 || got.size() != 1 ||
                QFileInfo(dest + QLatin1Char('/') + got.first()).size() != size) {
                whole[k] = false;
            } else if (round == rounds && !source.isEmpty() &&
                       sha256(dest + QLatin1Char('/') + got.first()) != sha256(source)) {
                whole[k] = false;
            }
            times[k] << r.seconds;
            peak[k] = std::max(peak[k], r.peakKib);
            QDir(dest).removeRecursively();
        }
    }
    for (qsizetype k = 0; k < n; ++k) {
        QStringList each;
        for (const double t : times[k]) {
            each << fmt(t);
        }
        out << "  " << commands.at(k).name.leftJustified(18) << "median " << fmt(median(times[k]))
            << " s (" << each.join(QStringLiteral(", ")) << "), peak memory "
            << fmt(peak[k] / 1024.0, 1) << " MiB" << (whole[k] ? "" : ", NOT the whole file")
            << '\n';
    }
    const double c = median(times[0]);
    for (const int way : {1, 2}) {
        const qsizetype k = n - 3 + way;
        out << "  way " << way << ": " << fmt(median(times[k]) / c)
            << "x curl's time (goal: at most 0.80x; 0.70x for the transfer), peak memory "
            << fmt(peak[k] / 1024.0, 1) << " MiB (goal: at most 25 MB)\n";
    }
    // Start to exit of a command that does nothing: the program's own start.
    QList<double> versions[2];
    long versionPeak[2] = {0, 0};
    for (int round = 0; round < 20; ++round) {
        const Run mine = run(cli, {QStringLiteral("--version")});
        const Run theirs = run(curl, {QStringLiteral("--version")});
        versions[0] << mine.seconds;
        versions[1] << theirs.seconds;
        versionPeak[0] = std::max(versionPeak[0], mine.peakKib);
        versionPeak[1] = std::max(versionPeak[1], theirs.peakKib);
    }
    out << "  harvly-cli --version: median " << fmt(median(versions[0]) * 1000, 1) << " ms, "
        << fmt(versionPeak[0] / 1024.0, 1) << " MiB (goal: under 10 ms and 15 MB); curl --version "
        << fmt(median(versions[1]) * 1000, 1) << " ms, " << fmt(versionPeak[1] / 1024.0, 1)
        << " MiB\n";
    out.flush();

    const int count = 200;
    QStringList urls;
    for (int i = 0; i < count; ++i) {
        urls << siteRoot + QStringLiteral("/big/%1.bin?size=%2").arg(i + 100).arg(256 * 1024);
    }
    out << count << " files of 256 KiB from the sample site\n";
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
    site.kill();
    site.waitForFinished();
    return 0;
}
