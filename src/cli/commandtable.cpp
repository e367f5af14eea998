#include "commandtable.h"

#include <cstring>

namespace harvly {

namespace {

const CliOption kHarvest[] = {
    {"--json", CliValue::None, nullptr, "one JSON object per row"},
    {"--with-htm", CliValue::None, nullptr, "also take HTML full-text links"},
    {"--static", CliValue::None, nullptr,
     "read the page's HTML text instead of loading it in an offscreen browser"},
};

const CliOption kAnalyse[] = {
    {"--json", CliValue::None, nullptr,
     "one JSON object per link, with the page's citation record"},
    {"--list", CliValue::File, "FILE",
     "also the addresses of FILE (- for standard input; JSON lines too)"},
    {"--cookies", CliValue::File, "FILE",
     "the session's cookies from and back to a Netscape cookies.txt"},
};

const CliOption kBulk[] = {
    {"--web", CliValue::None, nullptr,
     "load each page in an offscreen browser, as the window's web method does"},
    {"--delay", CliValue::Number, "S", "wait S seconds (0 to 600) after each address"},
    {"--doi-resolver", CliValue::Text, "URL",
     "look the DOIs of FILE up at URL (default https://doi.org/)"},
    {"--json", CliValue::None, nullptr, "one JSON object per row, with its citation record"},
    {"--failed", CliValue::File, "FILE", "write the lines that gave no row to FILE, to run again"},
    {"--cookies", CliValue::File, "FILE",
     "the session's cookies from and back to a Netscape cookies.txt"},
};

const CliOption kCache[] = {
    {"--zh", CliValue::None, nullptr, "read the Chinese program's cache"},
    {"--dir", CliValue::Folder, "FOLDER",
     "read the cache in FOLDER (one that holds a Cache_Data folder, or is one)"},
    {"--all-users", CliValue::None, nullptr, "read every user's cache that can be read"},
    {"--json", CliValue::None, nullptr, "one JSON object per document", nullptr, "list"},
    {"--match", CliValue::Text, "TEXT", "export only the documents whose address contains TEXT",
     nullptr, "export"},
    {"--same-name", CliValue::Words, "RULE",
     "skip, cover, rename, same-size-and-time (default) or same-size",
     "skip cover rename same-size-and-time same-size", "export"},
};

const CliOption kCookies[] = {
    {"--zh", CliValue::None, nullptr, "the Chinese program's browser"},
    {"--site", CliValue::Text, "HOST", "only the cookies of HOST and the hosts below it", nullptr,
     "export"},
};

const CliOption kDownload[] = {
    {"--dest", CliValue::Folder, "DIR", "the folder the documents are saved in (needed)"},
    {"--way", CliValue::Words, "1|2", "the download way: 1 (default) or 2", "1 2"},
    {"--threads", CliValue::Number, "N", "downloads at once, 1 (default) to 6"},
    {"--interval", CliValue::Number, "S", "seconds between two downloads, 0 (default) to 600"},
    {"--same-name", CliValue::Words, "RULE",
     "when DIR holds the name: Skip, Cover or Rename (default)", "Skip Cover Rename"},
    {"--proxy", CliValue::Text, "HOST:PORT", "fetch through this HTTP proxy"},
    {"--state", CliValue::File, "FILE", "keep the list in FILE, to go on after a stop"},
    {"--retries", CliValue::Number, "N", "tries again after a transient failure, 0 to 100 (5)"},
    {"--no-document-check", CliValue::None, nullptr,
     "do not open each PDF to check that it opens and carries its title"},
    {"--list", CliValue::File, "FILE", "read the addresses from FILE (- for standard input)"},
    {"--json", CliValue::None, nullptr, "one JSON object per row, with its citation record"},
    {"--failed", CliValue::File, "FILE", "write the rows that failed to FILE, as a list to read"},
    {"--quiet", CliValue::None, nullptr, "print no progress, only the rows"},
    {"--cookies", CliValue::File, "FILE",
     "the session's cookies from and back to a Netscape cookies.txt"},
};

const CliOption kExport[] = {
    {"--state", CliValue::File, "FILE", "the download list a --state run kept (needed)"},
    {"--format", CliValue::Words, "FORMAT", "ris, bibtex or csl-json (else by OUT's extension)",
     "ris bibtex csl-json"},
    {"--finished", CliValue::None, nullptr, "only the rows that ended Finished"},
    {"--absolute", CliValue::None, nullptr, "write the file links as absolute paths"},
    {"-o", CliValue::File, "OUT", "write to OUT instead of standard output"},
};

const CliOption kFetch[] = {
    {"--pages", CliValue::Number, "N", "harvest N result pages (1 unless --all-pages)"},
    {"--all-pages", CliValue::None, nullptr, "harvest every result page (at most 1,000)"},
    {"--bulk", CliValue::File, "FILE", "start from the document pages and DOIs of FILE instead"},
    {"--delay", CliValue::Number, "S", "wait S seconds after each analysed page (0 to 600)"},
    {"--with-htm", CliValue::None, nullptr, "also take HTML full-text links"},
    {"--web", CliValue::None, nullptr,
     "load the result pages in an offscreen browser (rows a script adds)"},
    {"--doi-resolver", CliValue::Text, "URL", "look the DOIs of --bulk up at URL"},
    {"--dest", CliValue::Folder, "DIR", "the folder the documents are saved in (needed)"},
    {"--way", CliValue::Words, "1|2", "the download way: 1 (default) or 2", "1 2"},
    {"--threads", CliValue::Number, "N", "downloads at once, 1 (default) to 6"},
    {"--interval", CliValue::Number, "S", "seconds between two downloads, 0 (default) to 600"},
    {"--same-name", CliValue::Words, "RULE", "when DIR holds the name: Skip, Cover or Rename",
     "Skip Cover Rename"},
    {"--proxy", CliValue::Text, "HOST:PORT", "fetch the documents through this HTTP proxy"},
    {"--state", CliValue::File, "FILE",
     "keep the walk and the list in FILE, to go on after a stop"},
    {"--retries", CliValue::Number, "N", "tries again after a transient failure, 0 to 100 (5)"},
    {"--no-document-check", CliValue::None, nullptr,
     "do not open each PDF to check that it opens and carries its title"},
    {"--json", CliValue::None, nullptr, "one JSON object per row, with its citation record"},
    {"--failed", CliValue::File, "FILE", "write the rows that failed to FILE, as a list to read"},
    {"--quiet", CliValue::None, nullptr, "print no progress, only the rows"},
    {"--cookies", CliValue::File, "FILE",
     "the session's cookies from and back to a Netscape cookies.txt"},
};

const CliCommand kCommands[] = {
    {"harvest", "harvest [--with-htm] [--static] [--json] PAGE",
     R"(print the rows "Add this page to list" takes from PAGE (a file or an
http(s) address), one per line: title, link, file type, source code,
separated by tabs. The page is loaded in an offscreen browser;
--static reads its HTML text instead. --with-htm also takes HTML
full-text links.)",
     kHarvest},
    {"analyse", "analyse [--json] [--cookies FILE] (--list FILE|- | URL...)",
     R"(fetch each document page once and print, after its address and a
tab, the links the analysis would hand over: "embedded" (0 to 2),
"download-pdf" (0 or 1) and "document" with the title (0 or 1), or, when
none of them, "record" with the PDF and title the page's citation record
names. --json prints each as a JSON object with the record under CSL-JSON
names ("record") and its PDF ("pdf"). Exit status 1 when a page could not
be fetched.)",
     kAnalyse},
    {"bulk",
     "bulk [--web] [--delay S] [--doi-resolver URL] [--json] [--failed FILE]\n"
     "           [--cookies FILE] FILE",
     R"(take each document-page address or DOI of FILE (- for standard input;
other lines are skipped) as one result row, as the bulk
window's download method does, waiting S seconds after each: one line
per row (title, link, file type, page), then "unsuccessful" and each
address that gave none. --web loads each page in an offscreen browser
instead, as the window's web method does. Exit status 0 when every
address gave a row, 1 when some did not, 2 for a command line or list
that cannot be used, 130 and 143 when stopped by SIGINT or SIGTERM (the
addresses not reached are listed as unsuccessful). A DOI (10.1234/abc,
doi:10.1234/abc, https://doi.org/10.1234/abc) is looked up at the resolver
(--doi-resolver). --json prints each row as a JSON object with its citation
record under CSL-JSON names ("record") and its PDF ("pdf").)",
     kBulk},
    {"cache",
     "cache list [--zh | --dir FOLDER | --all-users] [--json]\n"
     "cache export DEST [--match TEXT] [--same-name RULE] [--zh | --dir FOLDER]",
     R"(list the documents in the embedded browser's cache (by default the
English program's; --zh the Chinese program's; --dir any folder that
holds a Cache_Data folder or is one; --all-users every user's cache of
the program that can be read), one per line: address, type, size,
"complete" or "incomplete"; exit status 1 when entries could not be
read. export writes the complete documents (--match: those whose
address contains TEXT) into DEST, named from the server's suggested
name or the address, with the same-name RULE skip, cover, rename,
same-size-and-time (the default) or same-size: one line per
document (copied, covered, renamed, skipped or failed, and the file);
exit status as for download.)",
     kCache, "list export"},
    {"cookies",
     "cookies export [--zh] [--site HOST] [FILE]\n"
     "cookies import [--zh] FILE",
     R"(export writes the cookies of the embedded browser of the program's
windows (by default the English program's; --zh the Chinese program's)
as a Netscape cookies.txt, the file curl -b, wget --load-cookies,
aria2c --load-cookies and the --cookies option read: to FILE (mode 0600)
or standard output; session and HttpOnly cookies included, expired ones
left out. import puts the cookies of FILE (- for standard input) into
that browser, so that the windows are logged in as the command line was;
the windows must be closed. Exit status 1 when the store cannot be read
or a cookie was not kept.)",
     kCookies, "export import"},
    {"download",
     "download --dest DIR [--way 1|2] [--threads N] [--interval S]\n"
     "           [--same-name Skip|Cover|Rename] [--proxy HOST:PORT] [--state FILE]\n"
     "           [--retries N] [--json] [--failed FILE] [--quiet] [--cookies FILE]\n"
     "           (--list FILE|- | URL...)",
     R"(queue the addresses (or the lines URL[<TAB>title[<TAB>type[<TAB>referer]]]
of a list file, "-" for standard input, or the JSON lines harvest, analyse,
bulk and download --json print; lines beginning with # are comments) and
download them as the download
window does, until every row is done; progress on standard error, then one
line per row: state, type, size, downloaded, percentage, file, seconds,
address, reason (why a row failed; empty otherwise). Only http and https
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
is tried again after 1 s, doubling to a minute, continuing what came.)",
     kDownload},
    {"export",
     "export --state FILE [--format ris|bibtex|csl-json] [--finished] [--absolute]\n"
     "           [-o OUT]",
     R"(write the citations of the rows of a download list kept by --state (of
download or fetch) as RIS, BibTeX or CSL-JSON, for a reference manager to
import: each row's citation record (or its title and page when it has
none) with a link to its downloaded file. The links are relative to OUT's
folder when the file lies below it, absolute otherwise, with --absolute,
or on standard output. OUT is written whole or not at all. Exit status 1
when OUT cannot be written, 2 for a command line or list that cannot be
used.)",
     kExport},
    {"fetch",
     "fetch --dest DIR [--pages N | --all-pages] [--delay S] [--state FILE]\n"
     "           [the download options] (RESULT-PAGE | --bulk FILE)",
     R"(the whole road without windows: harvest the result page and the pages
after it as "Add all pages to list" does (a pause of 2 s between two; a
page seen before ends the walk), or take the document pages and DOIs of
--bulk FILE as the bulk window does; analyse each result as "Analysis to
download" does; then download the rows as the download command does,
printing its lines and exiting with its status (1 also when the start
gave no result row). With --state FILE a stopped or killed fetch, run
again, goes on where it stood: no page harvested twice, no result
analysed twice, no finished document fetched again.)",
     kFetch},
    {"identify",
     "identify FILE...",
     R"(print what each file really is, from its content: the type word
(empty when not recognised), a tab, and the path.)",
     {}},
};

} // namespace

std::span<const CliCommand> CliCommands()
{
    return kCommands;
}

const CliCommand *FindCliCommand(const char *name)
{
    for (const CliCommand &c : kCommands) {
        if (std::strcmp(c.name, name) == 0) {
            return &c;
        }
    }
    return nullptr;
}

} // namespace harvly
