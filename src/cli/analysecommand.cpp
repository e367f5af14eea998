#include "analysecommand.h"

#include "cliargs.h"
#include "common/files.h"
#include "common/urltext.h"
#include "cookieoption.h"
#include "http/sessionnetwork.h"
#include "jsonrows.h"
#include "search/citationreader.h"
#include "search/pagemarkers.h"

#include <QCoro/QCoroTask>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QUrl>

namespace harvly {

namespace {

// One link the analysis would hand over: a line of text, or a JSON object with the record.
void printLink(QTextStream &out, const QString &address, const QString &kind, const QString &link,
               const QString &title, const SharedRecord &record, bool json)
{
    if (!json) {
        out << address << '\t' << kind << '\t' << link;
        if (kind == QLatin1String("document") || kind == QLatin1String("record")) {
            out << '\t' << title;
        }
        out << '\n';
        return;
    }
    QJsonObject row{{QStringLiteral("address"), address},
                    {QStringLiteral("kind"), kind},
                    {QStringLiteral("link"), link}};
    if (!title.isEmpty()) {
        row.insert(QStringLiteral("title"), title);
    }
    out << JsonRowLine(row, record);
}

QCoro::Task<int> analyse(QStringList addresses, bool json, QString cookiesFile)
{
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    QTextStream err(stderr);
    if (addresses.isEmpty()) {
        err << "analyse: no address given\n" << CliUsage(*FindCliCommand("analyse"));
        co_return 2;
    }
    SessionNetwork network;
    if (!LoadCookiesOption(cookiesFile, *network.cookies(), err, "analyse")) {
        co_return 2;
    }
    int status = 0;
    for (const QString &address : addresses) {
        // Fetched once, as the analysis fetches it; every routine reads the same text.
        const auto finalUrl = std::make_shared<QUrl>(address);
        QCoro::Task<std::optional<QString>> fetch =
            FetchUrlText(&network, QUrl(address), QStringLiteral("utf-8"), KeepFinalUrl(finalUrl));
        const std::optional<QString> text = co_await fetch;
        if (!text) {
            err << "analyse: cannot fetch " << address << '\n';
            status = 1;
            continue;
        }
        const SharedRecord record = ShareRecord(ReadCitationRecord(*text, finalUrl->toString()));
        bool found = false;
        for (const QString &link : FindEmbeddedPdfLinks(*text)) {
            printLink(out, address, QStringLiteral("embedded"), link, {}, record, json);
            found = true;
        }
        const QString pdf = FindDownloadPdfLink(*text);
        if (!pdf.isEmpty()) {
            printLink(out, address, QStringLiteral("download-pdf"), pdf, {}, record, json);
            found = true;
        }
        const DocumentLink doc = FindDocumentLink(*text);
        if (!doc.link.isEmpty()) {
            printLink(out, address, QStringLiteral("document"), doc.link, doc.title, record, json);
            found = true;
        }
        // Pages without the site's markers: the PDF their record names.
        if (!found && record && !record->pdfUrl.isEmpty()) {
            printLink(out, address, QStringLiteral("record"), record->pdfUrl, record->title, record,
                      json);
        }
        out.flush();
    }
    SaveCookiesOption(cookiesFile, *network.cookies(), err, "analyse");
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
    QStringList addresses = parsed->operands;
    if (parsed->has("--list")) {
        // A file or standard input: an address a line, or the JSON lines harvest and bulk
        // print (their "link", else "url", else "address"); other lines are passed over.
        const QString file = parsed->value("--list");
        QFile in;
        if (!OpenFileOrStandardInput(in, file)) {
            QTextStream(stderr) << "analyse: cannot read " << file << ": " << in.errorString()
                                << '\n';
            return 2;
        }
        for (const QByteArray &raw : in.readAll().split('\n')) {
            const QByteArray line = raw.trimmed();
            QString address;
            if (line.startsWith('{')) {
                const QJsonObject o = QJsonDocument::fromJson(line).object();
                for (const char *name : {"link", "url", "address"}) {
                    if (address.isEmpty()) {
                        address = o.value(QLatin1String(name)).toString();
                    }
                }
            } else if (line.startsWith("http")) {
                address = QString::fromUtf8(line);
            }
            if (!address.isEmpty()) {
                addresses << address;
            }
        }
    }
    return QCoro::waitFor(analyse(addresses, parsed->has("--json"), parsed->value("--cookies")));
}

} // namespace harvly
