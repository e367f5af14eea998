#include "analysecommand.h"

#include "common/urltext.h"
#include "http/sessionnetwork.h"
#include "search/pagemarkers.h"

#include <QCoro/QCoroTask>
#include <QTextStream>
#include <QUrl>

namespace harvly {

namespace {

QCoro::Task<int> analyse(QStringList addresses)
{
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    QTextStream err(stderr);
    if (addresses.isEmpty()) {
        err << "analyse: no address given\nUsage: harvly-cli analyse URL...\n";
        co_return 2;
    }
    SessionNetwork network;
    int status = 0;
    for (const QString &address : addresses) {
        // Fetched once, as the analysis fetches it; every routine reads the same text.
        QCoro::Task<std::optional<QString>> fetch =
            FetchUrlText(&network, QUrl(address), QStringLiteral("utf-8"));
        const std::optional<QString> text = co_await fetch;
        if (!text) {
            err << "analyse: cannot fetch " << address << '\n';
            status = 1;
            continue;
        }
        for (const QString &link : FindEmbeddedPdfLinks(*text)) {
            out << address << "\tembedded\t" << link << '\n';
        }
        const QString pdf = FindDownloadPdfLink(*text);
        if (!pdf.isEmpty()) {
            out << address << "\tdownload-pdf\t" << pdf << '\n';
        }
        const DocumentLink doc = FindDocumentLink(*text);
        if (!doc.link.isEmpty()) {
            out << address << "\tdocument\t" << doc.link << '\t' << doc.title << '\n';
        }
        out.flush();
    }
    co_return status;
}

} // namespace

int RunAnalyseCommand(const QStringList &args)
{
    QStringList addresses;
    bool options = true; // until "--"
    for (const QString &a : args) {
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if (options && a.startsWith(QLatin1Char('-'))) {
            QTextStream(stderr) << "analyse: unknown option '" << a
                                << "'\nUsage: harvly-cli analyse URL...\n";
            return 2;
        } else {
            addresses << a;
        }
    }
    return QCoro::waitFor(analyse(addresses));
}

} // namespace harvly
