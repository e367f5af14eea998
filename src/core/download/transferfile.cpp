#include "transferfile.h"

namespace harvly {

TransferFile::TransferFile(const QString &target) : m_target(target) {}

bool TransferFile::open()
{
    m_file = std::make_unique<QSaveFile>(m_target);
    return m_file->open(QIODevice::WriteOnly);
}

bool TransferFile::drain(QNetworkReply *reply)
{
    if (!m_file) {
        return false;
    }
    char buffer[64 * 1024];
    for (qint64 n; (n = reply->read(buffer, sizeof buffer)) > 0;) {
        if (m_file->write(buffer, n) != n) {
            return false;
        }
        m_written += n;
    }
    return true;
}

bool TransferFile::commit()
{
    return m_file && m_file->commit();
}

void TransferFile::discard()
{
    if (m_file) {
        m_file->cancelWriting();
        m_file->commit(); // with writing cancelled this only removes the temporary file
        m_file.reset();
    }
}

qint64 AnnouncedSize(const QNetworkReply *reply)
{
    bool ok = false;
    const qint64 size = reply->rawHeader("Content-Length").trimmed().toLongLong(&ok);
    return ok && size > 0 ? size : 0;
}

} // namespace harvly
