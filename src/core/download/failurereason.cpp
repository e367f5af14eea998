#include "failurereason.h"

#include <QCoreApplication>
#include <QFileDevice>
#include <QNetworkReply>

namespace harvly::FailureReason {

QString serverError(int status)
{
    return QCoreApplication::translate("harvly::FailureReason", "HTTP status %1").arg(status);
}

QString stalled()
{
    return QCoreApplication::translate("harvly::FailureReason", "time limit without progress");
}

QString noAnswer()
{
    return QCoreApplication::translate("harvly::FailureReason", "time limit without an answer");
}

QString shortBody(qint64 received, qint64 announced)
{
    return QCoreApplication::translate("harvly::FailureReason",
                                       "body shorter than announced: %1 of %2 bytes")
        .arg(received)
        .arg(announced);
}

QString emptyAnswer()
{
    return QCoreApplication::translate("harvly::FailureReason", "empty answer");
}

QString unsupported()
{
    return QCoreApplication::translate("harvly::FailureReason", "unsupported address");
}

QString notAFolder()
{
    return QCoreApplication::translate("harvly::FailureReason", "destination not a folder");
}

QString diskFull()
{
    return QCoreApplication::translate("harvly::FailureReason", "disk full");
}

QString damagedPdf(const QString &problem)
{
    return QCoreApplication::translate("harvly::FailureReason", "Damaged PDF: %1").arg(problem);
}

QString wrongRange()
{
    return QCoreApplication::translate("harvly::FailureReason",
                                       "the server sent another part than the rest asked for");
}

QString stopped()
{
    return QCoreApplication::translate("harvly::FailureReason", "stopped");
}

QString badProxy()
{
    return QCoreApplication::translate("harvly::FailureReason", "bad proxy setting");
}

QString certificate()
{
    return QCoreApplication::translate("harvly::FailureReason", "certificate not trusted");
}

QString pageInsteadOfDocument()
{
    return QCoreApplication::translate(
        "harvly::FailureReason",
        "A web page came instead of the document; the earlier file was kept");
}

QString incompletePdf()
{
    return QCoreApplication::translate("harvly::FailureReason", "Incomplete PDF");
}

QString abandoned()
{
    return QCoreApplication::translate("harvly::FailureReason",
                                       "no size announced in twenty minutes");
}

QString cannotWrite(const QString &detail)
{
    return QCoreApplication::translate("harvly::FailureReason", "cannot write the file: %1")
        .arg(detail);
}

QString cannotReplace(const QString &detail)
{
    return QCoreApplication::translate("harvly::FailureReason", "cannot put the file in place: %1")
        .arg(detail);
}

QString ofReply(const QNetworkReply &reply)
{
    switch (reply.error()) {
    case QNetworkReply::NoError:
        return {};
    case QNetworkReply::ConnectionRefusedError:
        return QCoreApplication::translate("harvly::FailureReason", "connection refused");
    case QNetworkReply::RemoteHostClosedError:
        return QCoreApplication::translate("harvly::FailureReason", "connection reset");
    case QNetworkReply::HostNotFoundError:
        return QCoreApplication::translate("harvly::FailureReason", "host not found");
    case QNetworkReply::TimeoutError:
        return noAnswer();
    case QNetworkReply::OperationCanceledError:
        return stopped();
    case QNetworkReply::SslHandshakeFailedError:
        return certificate();
    case QNetworkReply::TooManyRedirectsError:
        return QCoreApplication::translate("harvly::FailureReason", "too many redirects");
    case QNetworkReply::InsecureRedirectError:
        return QCoreApplication::translate("harvly::FailureReason",
                                           "redirect from https to http refused");
    case QNetworkReply::ProtocolUnknownError:
        return unsupported();
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return QCoreApplication::translate("harvly::FailureReason", "proxy failed: %1")
            .arg(reply.errorString());
    default:
        break;
    }
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() >= 400) {
        return serverError(status.toInt());
    }
    return reply.errorString();
}

bool isTransient(const QString &reason)
{
    const QString statusWords = serverError(0).chopped(1); // the words before the number
    const QString shortWords =
        QCoreApplication::translate("harvly::FailureReason",
                                    "body shorter than announced: %1 of %2 bytes")
            .section(QStringLiteral("%1"), 0, 0);
    if (reason.startsWith(statusWords)) {
        return reason.mid(statusWords.size()).toInt() >= 500;
    }
    return reason == stalled() || reason == noAnswer() || reason == incompletePdf() ||
           reason == QCoreApplication::translate("harvly::FailureReason", "connection reset") ||
           (!shortWords.isEmpty() && reason.startsWith(shortWords));
}

QString ofTransfer(const QNetworkReply &reply, qint64 received, qint64 announced,
                   bool serverErrorsFail)
{
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (serverErrorsFail && status >= 500) {
        return serverError(status);
    }
    const bool networkOk = reply.error() == QNetworkReply::NoError ||
                           reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() >= 400;
    const bool closedEarly = reply.error() == QNetworkReply::RemoteHostClosedError;
    if (!networkOk && !closedEarly) {
        return ofReply(reply);
    }
    if (announced > 0 && received < announced) {
        return shortBody(received, announced); // a short body is no document
    }
    if (!networkOk) {
        return ofReply(reply);
    }
    if (announced <= 0 && received == 0) {
        return emptyAnswer();
    }
    return {};
}

QString ofFile(const QFileDevice &file)
{
    // Qt reports a full disk (ENOSPC) as a resource error.
    if (file.error() == QFileDevice::ResourceError) {
        return diskFull();
    }
    return cannotWrite(file.errorString());
}

} // namespace harvly::FailureReason
