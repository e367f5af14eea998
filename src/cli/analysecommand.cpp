#include "analysecommand.h"

#include "cliargs.h"
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
        err << "analyse: no address given\n" << CliUsage(*FindCliCommand("analyse"));
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
    const CliCommand &command = *FindCliCommand("analyse");
    QString error;
    const std::optional<CliArgs> parsed = ParseCliArgs(command, args, &error);
    if (!parsed) {
        QTextStream(stderr) << "analyse: " << error << '\n' << CliUsage(command);
        return 2;
    }
    return QCoro::waitFor(analyse(parsed->operands));
}

} // namespace harvly
