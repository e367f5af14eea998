#include "analysecommand.h"
#include "bulkcommand.h"
#include "cachecommand.h"
#include "common/build.h"
#include "download/filetype.h"
#include "downloadcommand.h"
#include "harvestcommand.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QStringList>
#include <QTextStream>

#include <memory>
#include <unistd.h>

namespace {

const char *const kUsage = R"(Usage: harvly-cli [--version] [--help]
       harvly-cli harvest [--with-htm] [--static] PAGE
       harvly-cli analyse URL...
       harvly-cli bulk [--web] [--delay S] FILE
       harvly-cli cache list [--zh | --dir FOLDER | --all-users]
       harvly-cli cache export DEST [--match TEXT] [--same-name RULE] [--zh | --dir FOLDER]
       harvly-cli identify FILE...
       harvly-cli download --dest DIR [--way 1|2] [--threads N] [--interval S]
                  [--same-name Skip|Cover|Rename] [--proxy HOST:PORT] [--state FILE]
                  [--retries N] (--list FILE|- | URL...)

Runs the download manager's core without windows.

Options:
  --version   print the program's version and exit
  --help      print this help and exit

Commands:
  harvest     print the rows "Add this page to list" takes from PAGE (a file or an
              http(s) address), one per line: title, link, file type, source code,
              separated by tabs. The page is loaded in an offscreen browser;
              --static reads its HTML text instead. --with-htm also takes HTML
              full-text links.
  analyse     fetch each document page once and print, after its address and a
              tab, the links the analysis would hand over: "embedded" (0 to 2),
              "download-pdf" (0 or 1) and "document" with the title (0 or 1).
              Exit status 1 when a page could not be fetched.
  download    queue the addresses (or the lines URL[<TAB>title[<TAB>type[<TAB>referer]]]
              of a list file) and download them as the download window does, until
              every row is done; progress on standard error, then one line per row:
              state, type, size, downloaded, percentage, file, seconds, address,
              reason (why a row failed; empty otherwise). Only http and https
              addresses are fetched. Exit status: 0 when every row ended Finished,
              1 when a row failed or was left (a list line without an address
              included), 2 for a command line or list that cannot be used, 130 and
              143 when stopped by SIGINT or SIGTERM (temporary files removed).
              --state FILE keeps the list in FILE as it goes: the same command run
              again (after a stop or a crash) goes on where it stood, adding no row
              twice and fetching no finished row again.
  bulk        take each document-page address of FILE (- for standard input; lines
              that do not begin with http are skipped) as one result row, as the bulk
              window's download method does, waiting S seconds after each: one line
              per row (title, link, file type, page), then "unsuccessful" and each
              address that gave none. --web loads each page in an offscreen browser
              instead, as the window's web method does. Exit status 0 when every
              address gave a row, 1 when some did not, 2 for a command line or list
              that cannot be used, 130 and 143 when stopped by SIGINT or SIGTERM (the
              addresses not reached are listed as unsuccessful).
  cache       list the documents in the embedded browser's cache (by default the
              English program's; --zh the Chinese program's; --dir any folder that
              holds a Cache_Data folder or is one; --all-users every user's cache of
              the program that can be read), one per line: address, type, size,
              "complete" or "incomplete"; exit status 1 when entries could not be
              read. export writes the complete documents (--match: those whose
              address contains TEXT) into DEST, named from the server's suggested
              name or the address, with the same-name RULE skip, cover, rename,
              same-size-and-time (the default) or same-size: one line per
              document (copied, covered, renamed, skipped or failed, and the file);
              exit status as for download.
  identify    print what each file really is, from its content: the type word
              (empty when not recognised), a tab, and the path.
)";

// Each command's own help: its usage lines and what it does.
struct CommandHelp {
    const char *name;
    const char *text;
};
const CommandHelp kCommands[] = {
    {"harvest", R"(Usage: harvly-cli harvest [--with-htm] [--static] PAGE

  harvest     print the rows "Add this page to list" takes from PAGE (a file or an
              http(s) address), one per line: title, link, file type, source code,
              separated by tabs. The page is loaded in an offscreen browser;
              --static reads its HTML text instead. --with-htm also takes HTML
              full-text links.
)"},
    {"analyse", R"(Usage: harvly-cli analyse URL...

  analyse     fetch each document page once and print, after its address and a
              tab, the links the analysis would hand over: "embedded" (0 to 2),
              "download-pdf" (0 or 1) and "document" with the title (0 or 1).
              Exit status 1 when a page could not be fetched.
)"},
    {"bulk", R"(Usage: harvly-cli bulk [--web] [--delay S] FILE

  bulk        take each document-page address of FILE (- for standard input; lines
              that do not begin with http are skipped) as one result row, as the bulk
              window's download method does, waiting S seconds after each: one line
              per row (title, link, file type, page), then "unsuccessful" and each
              address that gave none. --web loads each page in an offscreen browser
              instead, as the window's web method does. Exit status 0 when every
              address gave a row, 1 when some did not, 2 for a command line or list
              that cannot be used, 130 and 143 when stopped by SIGINT or SIGTERM (the
              addresses not reached are listed as unsuccessful).
)"},
    {"cache", R"(Usage: harvly-cli cache list [--zh | --dir FOLDER | --all-users]
       harvly-cli cache export DEST [--match TEXT] [--same-name RULE] [--zh | --dir FOLDER]

  cache       list the documents in the embedded browser's cache (by default the
              English program's; --zh the Chinese program's; --dir any folder that
              holds a Cache_Data folder or is one; --all-users every user's cache of
              the program that can be read), one per line: address, type, size,
              "complete" or "incomplete"; exit status 1 when entries could not be
              read. export writes the complete documents (--match: those whose
              address contains TEXT) into DEST, named from the server's suggested
              name or the address, with the same-name RULE skip, cover, rename,
              same-size-and-time (the default) or same-size: one line per
              document (copied, covered, renamed, skipped or failed, and the file);
              exit status as for download.
)"},
    {"download", R"(Usage: harvly-cli download --dest DIR [--way 1|2] [--threads N] [--interval S]
           [--same-name Skip|Cover|Rename] [--proxy HOST:PORT] [--state FILE]
           [--retries N] (--list FILE|- | URL...)

  download    queue the addresses (or the lines URL[<TAB>title[<TAB>type[<TAB>referer]]]
              of a list file, "-" for standard input) and download them as the download window does, until
              every row is done; progress on standard error, then one line per row:
              state, type, size, downloaded, percentage, file, seconds, address,
              reason (why a row failed; empty otherwise). Only http and https
              addresses are fetched. Exit status: 0 when every row ended Finished,
              1 when a row failed or was left (a list line without an address
              included), 2 for a command line or list that cannot be used, 130 and
              143 when stopped by SIGINT or SIGTERM (temporary files removed).
              --state FILE keeps the list in FILE as it goes: the same command run
              again (after a stop or a crash) goes on where it stood, adding no row
              twice, fetching no finished row again and trying the failed ones
              again. One run at a time uses FILE (a second exits 2).
              --retries N (default 5, 0 for none): a transfer cut off, reset or
              timed out, a body short or without its end, or a server error (5xx)
              is tried again after 1 s, doubling to a minute, continuing what came.
)"},
    {"identify", R"(Usage: harvly-cli identify FILE...

  identify    print what each file really is, from its content: the type word
              (empty when not recognised), a tab, and the path.
)"},
};

const char *helpOf(const QString &command)
{
    for (const CommandHelp &c : kCommands) {
        if (command == QLatin1String(c.name)) {
            return c.text;
        }
    }
    return nullptr;
}

// "--help" or "-h" before "--".
bool asksForHelp(const QStringList &args)
{
    for (const QString &a : args) {
        if (a == QLatin1String("--")) {
            return false;
        }
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            return true;
        }
    }
    return false;
}

// The offscreen browser needs a few things said before the application exists.
void prepareOffscreenBrowser()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1"); // Chromium refuses root with its sandbox
    }
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS")) {
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking "
                                              "--disable-component-update --disable-sync");
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Standard output carries the rows; the browser's start-up report is no use here.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
}

// identify FILE...: what each file really is, from its content.
int runIdentify(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QStringList files;
    bool options = true; // until "--"
    for (const QString &a : args) {
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if (options && a.startsWith(QLatin1Char('-'))) {
            err << "identify: unknown option '" << a << "'\n" << helpOf(QStringLiteral("identify"));
            return 2;
        } else {
            files << a;
        }
    }
    if (files.isEmpty()) {
        err << "identify: no file given\nUsage: harvly-cli identify FILE...\n";
        return 2;
    }
    out.setEncoding(QStringConverter::Utf8);
    for (const QString &file : files) {
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

    if (!args.isEmpty() && helpOf(args.first()) && asksForHelp(args.mid(1))) {
        out.setEncoding(QStringConverter::Utf8);
        out << helpOf(args.first());
        return 0;
    }

    // The commands that run with an application of their own; the browser's only when the
    // command's options need it.
    struct Runner {
        const char *name;
        int (*run)(const QStringList &);
        bool (*needsBrowser)(const QStringList &);
    };
    const Runner runners[] = {
        {"harvest", &harvly::RunHarvestCommand, &harvly::HarvestNeedsBrowser},
        {"download", &harvly::RunDownloadCommand, nullptr},
        {"bulk", &harvly::RunBulkCommand, &harvly::BulkNeedsBrowser},
        {"cache", &harvly::RunCacheCommand, nullptr},
        {"analyse", &harvly::RunAnalyseCommand, nullptr},
    };
    for (const Runner &r : runners) {
        if (args.isEmpty() || args.first() != QLatin1String(r.name)) {
            continue;
        }
        const QStringList rest = args.mid(1);
        std::unique_ptr<QCoreApplication> app;
        if (r.needsBrowser && r.needsBrowser(rest)) {
            prepareOffscreenBrowser();
            app = std::make_unique<QGuiApplication>(argc, argv);
        } else {
            app = std::make_unique<QCoreApplication>(argc, argv);
        }
        QCoreApplication::setApplicationName(QStringLiteral("harvly-cli"));
        return r.run(rest);
    }

    if (!args.isEmpty() && args.first() == QLatin1String("identify")) {
        return runIdentify(args.mid(1), out, err);
    }

    if (args.isEmpty()) {
        err << kUsage;
        return 2;
    }
    for (const QString &arg : args) {
        if (arg != QLatin1String("--version") && arg != QLatin1String("--help") &&
            arg != QLatin1String("-h")) {
            err << "harvly-cli: unknown argument '" << arg << "'\n" << kUsage;
            return 2;
        }
    }
    if (args.contains(QLatin1String("--version"))) {
        out << "harvly-cli " << build.versionText() << '\n';
    } else {
        out << kUsage;
    }
    return 0;
}
