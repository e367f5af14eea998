#include "cookiescommand.h"

#include "cliargs.h"
#include "cliweb.h"
#include "common/build.h"
#include "download/storelock.h"
#include "http/browsercookies.h"
#include "http/cookiesfile.h"
#include "tools/cachefolders.h"

#include <QCoro/QCoroTask>
#include <QFile>
#include <QTextStream>

#include <optional>

namespace harvly {

namespace {

struct Options {
    bool import = false;
    QString browserFolder; // the windows' profile folder, holding "storage" and "cache"
    QString site;
    QString file; // export: "" for standard output
};

std::optional<Options> parse(const QStringList &args, QString *error)
{
    const std::optional<CliArgs> parsed =
        ParseCliArgs(*FindCliCommand("cookies"), args, error, "unexpected argument '%1'");
    if (!parsed) {
        error->prepend(QStringLiteral("cookies: "));
        return std::nullopt;
    }
    Options o;
    const QString command = parsed->operands.value(0);
    if (command != QLatin1String("export") && command != QLatin1String("import")) {
        *error = QStringLiteral("cookies: export or import, not '%1'").arg(command);
        return std::nullopt;
    }
    o.import = command == QLatin1String("import");
    o.file = parsed->operands.value(1);
    if (parsed->operands.size() > 2) {
        *error = QStringLiteral("cookies: unexpected argument '%1'").arg(parsed->operands.last());
        return std::nullopt;
    }
    if (o.import && o.file.isEmpty()) {
        *error = QStringLiteral("cookies: import needs a cookies file (- for standard input)");
        return std::nullopt;
    }
    const Build build = parsed->has("--zh") ? Build::chinese() : Build::english();
    o.browserFolder = ProgramBrowserFolder(build.applicationTitle);
    o.site = parsed->value("--site").toLower();
    return o;
}

// Whether the cookie would be sent to host, or was set by a host below it: "--site
// example.com" takes the cookies of www.example.com too.
bool belongsTo(const QNetworkCookie &cookie, const QString &host)
{
    const QString domain = cookie.domain().toLower();
    const QString bare = domain.startsWith(QLatin1Char('.')) ? domain.mid(1) : domain;
    return bare == host || bare.endsWith(QLatin1Char('.') + host) ||
           (domain.startsWith(QLatin1Char('.')) && host.endsWith(domain));
}

int exportCookies(const Options &o, QTextStream &err)
{
    const BrowserCookiesRead read =
        ReadBrowserCookies(BrowserCookiesDatabase(o.browserFolder + QStringLiteral("/storage")));
    if (!read.opened) {
        err << "cookies: cannot read the browser's cookies: " << read.error << '\n';
        return 1;
    }
    if (read.unreadable > 0) {
        err << "cookies: " << read.unreadable << " cookies are stored encrypted (left out)\n";
    }
    QList<QNetworkCookie> cookies;
    for (const QNetworkCookie &cookie : read.cookies) {
        if (o.site.isEmpty() || belongsTo(cookie, o.site)) {
            cookies << cookie;
        }
    }
    if (o.file.isEmpty() || o.file == QLatin1String("-")) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) || out.write(CookiesFileText(cookies)) < 0) {
            return 1;
        }
        return 0;
    }
    QString error;
    if (!WriteCookiesFile(o.file, cookies, &error)) {
        err << "cookies: cannot write " << o.file << ": " << error << '\n';
        return 1;
    }
    return 0;
}

bool sameCookie(const QNetworkCookie &a, const QNetworkCookie &b)
{
    // The store reports a host-only cookie under its host, one for a domain with the dot.
    return a.name() == b.name() && a.path() == b.path() &&
           a.domain().compare(b.domain(), Qt::CaseInsensitive) == 0;
}

int importCookies(const Options &o, QTextStream &err)
{
    const CookiesFileRead read = ReadCookiesFile(o.file);
    if (!read.opened) {
        err << "cookies: cannot read " << o.file << ": " << read.error << '\n';
        return 1;
    }
    for (const QString &warning : read.warnings) {
        err << "cookies: " << o.file << ": " << warning << " (skipped)\n";
    }
    if (read.expired > 0) {
        err << "cookies: " << read.expired << " expired cookies left out\n";
    }
    StoreLock lock(o.browserFolder);
    if (!lock.acquire()) {
        err << "cookies: the program's windows have the browser open (process " << lock.holder()
            << "); close them first\n";
        return 1;
    }
    const std::optional<QList<QNetworkCookie>> taken =
        QCoro::waitFor(PutCookiesIntoBrowser(o.browserFolder, read.cookies));
    if (!taken) {
        err << "cookies: import needs the browser engine, which this program does not have\n";
        return 2;
    }
    const QList<QNetworkCookie> &added = *taken;
    int missing = 0;
    for (const QNetworkCookie &cookie : read.cookies) {
        const bool found = std::any_of(added.cbegin(), added.cend(), [&](const QNetworkCookie &c) {
            return sameCookie(c, cookie);
        });
        if (!found) {
            ++missing;
            err << "cookies: the browser did not keep " << cookie.name() << " of "
                << cookie.domain() << '\n';
        }
    }
    err << "cookies: " << read.cookies.size() - missing << " of " << read.cookies.size()
        << " cookies imported\n";
    return missing == 0 ? 0 : 1;
}

} // namespace

bool CookiesNeedsBrowser(const QStringList &args)
{
    return args.value(0) == QLatin1String("import");
}

int RunCookiesCommand(const QStringList &args)
{
    QTextStream err(stderr);
    QString error;
    const std::optional<Options> o = parse(args, &error);
    if (!o) {
        err << error << '\n' << CliUsage(*FindCliCommand("cookies"));
        return 2;
    }
    return o->import ? importCookies(*o, err) : exportCookies(*o, err);
}

} // namespace harvly
