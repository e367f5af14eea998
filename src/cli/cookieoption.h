#pragma once

#include <QString>

class QTextStream;

namespace harvly {

class SessionCookieJar;

// --cookies FILE: the cookies of a Netscape cookies.txt put into the session before the first
// request (a file that does not exist yet starts it empty), each line that is no cookie
// warned of; false when the file exists but cannot be read.
bool LoadCookiesOption(const QString &file, SessionCookieJar &jar, QTextStream &err,
                       const char *command);
// The session's cookies written back at the end, as curl -c writes them.
void SaveCookiesOption(const QString &file, SessionCookieJar &jar, QTextStream &err,
                       const char *command);

} // namespace harvly
