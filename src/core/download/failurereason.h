#pragma once

#include <QString>

class QFileDevice;
class QNetworkReply;

namespace harvly {

// Why a download failed, in the words the row's tool tip, the status bar and the command
// line show. One rule for both ways.
namespace FailureReason {

QString serverError(int status); // "HTTP status 500"
QString stalled();               // no byte for the time limit
QString noAnswer();              // no response headers in time
// The connection ended before the size it announced, however it ended.
QString shortBody(qint64 received, qint64 announced);
QString emptyAnswer(); // nothing came, and no size was announced
QString unsupported(); // not an http or https address
QString notAFolder();  // the download folder cannot be made or is no folder
QString diskFull();
QString stopped(); // the user stopped the downloads
QString badProxy();
QString certificate();   // the server's certificate is not trusted
QString abandoned();     // no size learnt in twenty minutes
QString incompletePdf(); // a PDF without its end marker: cut off, whatever the server said
QString damagedPdf(const QString &problem); // a PDF that does not open: what the library said
QString wrongRange();                       // asked for the rest, the server sent another part
QString pageInsteadOfDocument(); // fetched again, a web page came: the earlier file stays
QString cannotWrite(const QString &detail);
QString cannotReplace(const QString &detail);

// The cause of a transfer that the network ended; empty when it ended well.
QString ofReply(const QNetworkReply &reply);
// The rule of both ways for a finished answer whose body came to `received` bytes of the
// `announced` ones (0: none announced): empty when it is a whole document (an HTTP error
// page counts: its type is judged later; a server error (5xx) does not with
// serverErrorsFail), else why not. A connection that closed before the announced size tells
// the sizes.
QString ofTransfer(const QNetworkReply &reply, qint64 received, qint64 announced,
                   bool serverErrorsFail = false);
// Whether another attempt may well succeed: the connection was cut, reset or timed out, the
// body came short or without its end marker, or the server had an error (5xx).
bool isTransient(const QString &reason);
// The cause of a failed write or move of the file.
QString ofFile(const QFileDevice &file);

} // namespace FailureReason

} // namespace harvly
