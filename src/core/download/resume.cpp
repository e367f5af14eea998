#include "resume.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace harvly {

namespace {

int statusOf(const QNetworkReply &reply)
{
    return reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

bool compressed(const QNetworkReply &reply)
{
    const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed().toLower();
    return !encoding.isEmpty() && encoding != "identity";
}

} // namespace

QString ResumeValidator(const QNetworkReply &reply)
{
    const int status = statusOf(reply);
    if ((status != 200 && status != 206) || compressed(reply)) {
        return {};
    }
    if (status == 200 && !reply.rawHeader("Accept-Ranges").toLower().contains("bytes")) {
        return {};
    }
    // A weak ETag never matches an If-Range: only a strong one, or the date, will do.
    const QByteArray etag = reply.rawHeader("ETag").trimmed();
    if (!etag.isEmpty() && !etag.startsWith("W/")) {
        return QString::fromLatin1(etag);
    }
    return QString::fromLatin1(reply.rawHeader("Last-Modified").trimmed());
}

void AskForRest(QNetworkRequest &request, qint64 offset, const QString &validator)
{
    request.setRawHeader("Range", "bytes=" + QByteArray::number(offset) + '-');
    request.setRawHeader("If-Range", validator.toLatin1());
    // The part holds the document's own bytes; a compressed rest would not fit onto them.
    request.setRawHeader("Accept-Encoding", "identity");
}

bool ContinuesAt(const QNetworkReply &reply, qint64 offset)
{
    if (statusOf(reply) != 206 || compressed(reply)) {
        return false;
    }
    // "bytes 1234-5678/9999" or "bytes 1234-5678/*"
    const QByteArray range = reply.rawHeader("Content-Range").trimmed();
    if (!range.toLower().startsWith("bytes ")) {
        return false;
    }
    bool ok = false;
    const qint64 first = range.mid(6).split('-').value(0).trimmed().toLongLong(&ok);
    return ok && first == offset;
}

bool CutOff(const QNetworkReply &reply, qint64 received, qint64 announced)
{
    const int status = statusOf(reply);
    if (status != 200 && status != 206) {
        return false;
    }
    switch (reply.error()) {
    case QNetworkReply::NoError:
        return announced > 0 && received < announced;
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::ProxyConnectionClosedError:
        return true;
    default:
        return false;
    }
}

qint64 ResumableFrom(const PartialFile &part, const QString &address, const QString &folder)
{
    if (!part.resumable() || part.address != address || !IsPartFileName(part.path)) {
        return 0;
    }
    const QFileInfo file(part.path);
    if (QDir::cleanPath(file.absolutePath()) !=
        QDir::cleanPath(QFileInfo(folder).absoluteFilePath())) {
        return 0;
    }
    return file.isFile() ? file.size() : 0;
}

bool IsPartFileName(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    return name.startsWith(QLatin1String(".harvly-")) && name.endsWith(QLatin1String(".part"));
}

void RemovePartialFile(const PartialFile &part)
{
    // A store is a file anybody can edit: only a temporary file of ours is ever removed.
    if (!part.isEmpty() && IsPartFileName(part.path)) {
        QFile::remove(part.path);
    }
}

} // namespace harvly
