#include "analysecommand.h"
#include "bulkcommand.h"
#include "cachecommand.h"
#include "cliargs.h"
#include "cliweb.h"
#include "common/build.h"
#include "cookiescommand.h"
#include "download/filetype.h"
#include "downloadcommand.h"
#include "exportcommand.h"
#include "fetchcommand.h"
#include "harvestcommand.h"

#include <QCoreApplication>
#include <QStringList>

#include <QTextStream>
#include <memory>

namespace {

// identify FILE...: what each file really is, from its content.
int runIdentify(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const harvly::CliCommand &command = *harvly::FindCliCommand("identify");
    QString error;
    const std::optional<harvly::CliArgs> parsed = harvly::ParseCliArgs(command, args, &error);
    if (!parsed) {
        err << "identify: " << error << '\n' << harvly::CliUsage(command);
        return 2;
    }
    if (parsed->operands.isEmpty()) {
        err << "identify: no file given\n" << harvly::CliUsage(command);
        return 2;
    }
    out.setEncoding(QStringConverter::Utf8);
    for (const QString &file : parsed->operands) {
        out << harvly::OpenFileToAnalyzingFileType(file) << '\t' << file << '\n';
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
    const harvly::Build build = harvly::Build::english();
    QTextStream out(stdout);
    QTextStream err(stderr);

    const harvly::CliCommand *asked =
        args.isEmpty() ? nullptr : harvly::FindCliCommand(args.first().toUtf8().constData());
    if (asked && harvly::AsksForHelp(args.mid(1))) {
        out.setEncoding(QStringConverter::Utf8);
        out << harvly::CliHelp(*asked);
        return 0;
    }

    // The commands that run with an application of their own; the browser's only when the
    // command's options need it. Without the browser engine here, such a command is handed
    // over to the program that has it.
    struct Runner {
        const char *name;
        int (*run)(const QStringList &);
        bool (*needsBrowser)(const QStringList &);
    };
    const Runner runners[] = {
        {"harvest", &harvly::RunHarvestCommand, &harvly::HarvestNeedsBrowser},
        {"download", &harvly::RunDownloadCommand, nullptr},
        {"fetch", &harvly::RunFetchCommand, &harvly::FetchNeedsBrowser},
        {"bulk", &harvly::RunBulkCommand, &harvly::BulkNeedsBrowser},
        {"cache", &harvly::RunCacheCommand, nullptr},
        {"cookies", &harvly::RunCookiesCommand, &harvly::CookiesNeedsBrowser},
        {"analyse", &harvly::RunAnalyseCommand, nullptr},
        {"export", &harvly::RunExportCommand, nullptr},
    };
    for (const Runner &r : runners) {
        if (args.isEmpty() || args.first() != QLatin1String(r.name)) {
            continue;
        }
        const QStringList rest = args.mid(1);
        const bool browser = r.needsBrowser && r.needsBrowser(rest);
        if (browser && !harvly::CliHasBrowser()) {
            return harvly::HandOverToBrowser(QString::fromLatin1(r.name), argv);
        }
        const std::unique_ptr<QCoreApplication> app =
            harvly::MakeCliApplication(argc, argv, browser);
        QCoreApplication::setApplicationName(QStringLiteral("harvly-cli"));
        return r.run(rest);
    }

    if (!args.isEmpty() && args.first() == QLatin1String("identify")) {
        return runIdentify(args.mid(1), out, err);
    }

    if (args.isEmpty()) {
        err << harvly::ProgramHelp();
        return 2;
    }
    for (const QString &arg : args) {
        if (arg != QLatin1String("--version") && arg != QLatin1String("--help") &&
            arg != QLatin1String("-h")) {
            err << "harvly-cli: unknown argument '" << arg << "'\n" << harvly::ProgramHelp();
            return 2;
        }
    }
    if (args.contains(QLatin1String("--version"))) {
        out << "harvly-cli " << build.versionText() << '\n';
    } else {
        out << harvly::ProgramHelp();
    }
    return 0;
}
