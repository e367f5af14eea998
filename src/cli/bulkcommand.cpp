#include "bulkcommand.h"

#include "http/sessionnetwork.h"
#include "search/bulkrun.h"
#include "search/resultlist.h"

#include <QFile>
#include <QTextStream>

namespace harvly {

namespace {

const char *const kUsage =
    "Usage: harvly-cli bulk [--delay S] FILE   (FILE - reads standard input)\n";

QCoro::Task<int> bulk(QString text, int delaySeconds)
{
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    SessionNetwork network;
    ResultListModel list;
    QObject::connect(&list, &QAbstractItemModel::rowsInserted, &list,
                     [&](const QModelIndex &, int first, int last) {
                         for (int i = first; i <= last; ++i) {
                             const ResultRow &r = list.at(i);
                             out << r.title << '\t' << r.key << '\t' << r.fileType << '\t' << r.tag
                                 << '\n';
                         }
                         out.flush();
                     });
    BulkUrlRun run;
    QPointer<QNetworkAccessManager> n(&network);
    QPointer<ResultListModel> l(&list);
    const auto analyse = [n, l](QString address) {
        return AddByDownloadMethod(n, l, HarvestOptions{}, address);
    };
    QCoro::Task<BulkRunResult> walk = run.run(text, analyse, std::chrono::seconds(delaySeconds));
    const BulkRunResult result = co_await walk;
    for (const QString &address : result.unsuccessful) {
        out << "unsuccessful\t" << address << '\n';
    }
    QTextStream(stderr) << "Successfully imported: " << result.added << '/' << result.addresses
                        << '\n';
    co_return result.unsuccessful.isEmpty() ? 0 : 1;
}

} // namespace

int RunBulkCommand(const QStringList &args)
{
    QTextStream err(stderr);
    int delay = 0;
    QString file;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--delay")) {
            bool ok = false;
            delay = args.value(i + 1).toInt(&ok);
            if (!ok || delay < 0 || delay > 600) {
                err << "bulk: --delay takes 0 to 600 seconds\n" << kUsage;
                return 2;
            }
            ++i;
        } else if (a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
            err << "bulk: unknown option '" << a << "'\n" << kUsage;
            return 2;
        } else if (file.isEmpty()) {
            file = a;
        } else {
            err << "bulk: one list at a time\n" << kUsage;
            return 2;
        }
    }
    if (file.isEmpty()) {
        err << "bulk: no list given\n" << kUsage;
        return 2;
    }
    QFile in;
    bool opened = false;
    if (file == QLatin1String("-")) {
        opened = in.open(stdin, QIODevice::ReadOnly);
    } else {
        in.setFileName(file);
        opened = in.open(QIODevice::ReadOnly);
    }
    if (!opened) {
        err << "bulk: cannot read " << file << ": " << in.errorString() << '\n';
        return 2;
    }
    const QString text = QString::fromUtf8(in.readAll());
    if (BulkAddressLines(text).isEmpty()) {
        err << "bulk: " << file << " holds no address (lines beginning with http)\n";
        return 2;
    }
    return QCoro::waitFor(bulk(text, delay));
}

} // namespace harvly
