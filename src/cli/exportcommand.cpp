#include "exportcommand.h"

#include "cliargs.h"
#include "download/liststore.h"
#include "export/citationexport.h"

#include <QFile>
#include <QTextStream>

namespace harvly {

int RunExportCommand(const QStringList &args)
{
    QTextStream err(stderr);
    const CliCommand &command = *FindCliCommand("export");
    QString error;
    const std::optional<CliArgs> parsed = ParseCliArgs(command, args, &error);
    const auto refuse = [&](const QString &why) {
        err << "export: " << why << '\n' << CliUsage(command);
        return 2;
    };
    if (!parsed) {
        return refuse(error);
    }
    if (!parsed->operands.isEmpty()) {
        return refuse(QStringLiteral("unexpected argument '%1'").arg(parsed->operands.first()));
    }
    const QString state = parsed->value("--state");
    if (state.isEmpty()) {
        return refuse(QStringLiteral("--state is needed"));
    }
    const QString out = parsed->value("-o");
    std::optional<CitationFormat> format;
    if (parsed->has("--format")) {
        format = CitationFormatNamed(parsed->value("--format"));
        if (!format) {
            return refuse(QStringLiteral("--format is ris, bibtex or csl-json"));
        }
    } else {
        format = CitationFormatOfFile(out);
        if (!format) {
            return refuse(QStringLiteral("--format is needed (or OUT ending .ris, .bib or .json)"));
        }
    }

    StoredList stored;
    if (LoadDownloadList(state, &stored, &error) != StoreRead::Ok) {
        err << "export: cannot read " << state << ": " << error << '\n';
        return 2;
    }
    QList<CitationEntry> entries;
    for (const DownloadRow &row : std::as_const(stored.rows)) {
        if (!parsed->has("--finished") || row.state == DownloadState::Finished) {
            entries << CitationEntryOf(row);
        }
    }
    const bool absolute = parsed->has("--absolute");
    if (out.isEmpty() || out == QLatin1String("-")) {
        QFile stdOut;
        if (!stdOut.open(stdout, QIODevice::WriteOnly) ||
            !WriteCitations(stdOut, entries, *format, CitationPaths{{}, true})) {
            return 1;
        }
        return 0;
    }
    if (!SaveCitations(out, entries, *format, absolute, &error)) {
        err << "export: cannot write " << out << ": " << error << '\n';
        return 1;
    }
    err << "export: " << entries.size() << " records written to " << out << '\n';
    return 0;
}

} // namespace harvly
