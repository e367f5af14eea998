// Times content identification of a mixed set of files: harvly-cli identify against
// file --mime-type -b, on the same files in the same run.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

QByteArray fromHex(const char *h)
{
    return QByteArray::fromHex(h);
}

// One leading pattern per kind: every row of the signature table, pages, link files,
// ID3v1-tagged audio and unknown data.
QList<QByteArray> heads()
{
    QByteArray ole = fromHex("D0CF11E0A1B11AE1") + QByteArray(504, '\0');
    return {
        "%PDF-1.4\n",
        fromHex("C8000000"),
        fromHex("43414A00"),
        "KDH ",
        fromHex("484E0000"),
        fromHex("49492A00"),
        "MZ",
        "Rar!",
        fromHex("504B0304140000000800"),
        fromHex("504B0304140006000800"),
        fromHex("43575306"),
        ".RMF",
        fromHex("3026B2758E"),
        fromHex("49443303"),
        fromHex("89504E470D0A1A0A"),
        "GIF89a",
        fromHex("FFD8FFE100184578696600004D4D002A"),
        fromHex("FFD8FFE000104A464946"),
        ole + fromHex("ECA5C100"),
        ole + fromHex("09081000"),
        ole + fromHex("000000F0"),
        "<!DOCTYPE html><html lang=en><head><title>Login</title></head><body>",
        "[TARGET]\r\nA1=1\r\nA2=2\r\nB1=1\r\nB2=2\r\nC1=1\r\nC2=2\r\nD1=1\r\nD2=2\r\nDOCTYPE=x\r\n",
        "", // unknown data, or an ID3v1 tag at the end
    };
}

qint64 sizeFor(int i)
{
    if (i % 500 == 0) {
        return 2 * 1024 * 1024;
    }
    static const qint64 sizes[] = {16, 200, 2048, 20 * 1024, 150 * 1024, 300 * 1024, 700};
    return sizes[i % 7];
}

double run(const QString &program, const QStringList &fixed, const QStringList &files,
           QByteArray *output)
{
    QElapsedTimer t;
    t.start();
    // Batches keep command lines short for both tools alike.
    for (qsizetype at = 0; at < files.size(); at += 1000) {
        QProcess p;
        p.start(program, fixed + files.mid(at, 1000));
        p.waitForFinished(-1);
        *output += p.readAllStandardOutput();
    }
    return t.elapsed() / 1000.0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int count = argc > 1 ? qMax(100, atoi(argv[1])) : 10000;
    const QString cli =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../src/cli/harvly-cli");
    const QString file = QStandardPaths::findExecutable(QStringLiteral("file"));
    if (file.isEmpty()) {
        out << "identify bench: the 'file' command is missing (apt-get install file)\n";
        return 1;
    }
    QTemporaryDir dir;
    const QList<QByteArray> patterns = heads();
    QStringList files;
    QRandomGenerator random(519);
    qint64 total = 0;
    for (int i = 0; i < count; ++i) {
        const QByteArray head = patterns.at(i % patterns.size());
        const qint64 size = qMax<qint64>(sizeFor(i), head.size());
        QByteArray body(size - head.size(), '\0');
        random.fillRange(reinterpret_cast<quint32 *>(body.data()), body.size() / 4);
        if (head.isEmpty() && i % 2 && body.size() > 128) {
            body.replace(body.size() - 128, 3, "TAG");
        }
        const QString path =
            dir.filePath(QStringLiteral("f%1.bin").arg(i, 5, 10, QLatin1Char('0')));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(head + body) != size) {
            out << "identify bench: cannot write " << path << '\n';
            return 1;
        }
        total += size;
        files << path;
    }
    out << "files: " << files.size() << ", " << total / (1024 * 1024) << " MiB\n";
    out.flush();

    QByteArray ours;
    QByteArray theirs;
    // Both read the same files from the page cache: warm it once.
    run(file, {QStringLiteral("--mime-type"), QStringLiteral("-b")}, files, &theirs);
    theirs.clear();
    const double harvly = run(cli, {QStringLiteral("identify")}, files, &ours);
    const double peer =
        run(file, {QStringLiteral("--mime-type"), QStringLiteral("-b")}, files, &theirs);
    out << "harvly-cli identify: " << QString::number(harvly, 'f', 3) << " s (" << ours.count('\n')
        << " lines)\n";
    out << "file --mime-type -b: " << QString::number(peer, 'f', 3) << " s (" << theirs.count('\n')
        << " lines)\n";
    out << "ratio (file / harvly-cli): " << QString::number(peer / qMax(harvly, 0.001), 'f', 2)
        << "\n";
    return 0;
}
