#include "cookieoption.h"

#include "http/cookiesfile.h"
#include "http/sessionnetwork.h"

#include <QFileInfo>
#include <QTextStream>

namespace harvly {

bool LoadCookiesOption(const QString &file, SessionCookieJar &jar, QTextStream &err,
                       const char *command)
{
    if (file.isEmpty() || !QFileInfo::exists(file)) {
        return true;
    }
    const CookiesFileRead read = ReadCookiesFile(file);
    if (!read.opened) {
        err << command << ": cannot read " << file << ": " << read.error << '\n';
        return false;
    }
    for (const QString &warning : read.warnings) {
        err << command << ": " << file << ": " << warning << " (skipped)\n";
    }
    for (const QNetworkCookie &cookie : read.cookies) {
        jar.insertCookie(cookie);
    }
    return true;
}

void SaveCookiesOption(const QString &file, SessionCookieJar &jar, QTextStream &err,
                       const char *command)
{
    QString error;
    if (!file.isEmpty() && !WriteCookiesFile(file, jar.allCookies(), &error)) {
        err << command << ": cannot write " << file << ": " << error << '\n';
    }
}

} // namespace harvly
