#pragma once

#include <QNetworkReply>
#include <QSaveFile>
#include <QString>

#include <memory>

namespace harvly {

// A download on its way to disk: the body streams into a temporary file beside the target,
// which takes the target's place only when the download has succeeded. Until then an
// existing file of that name is never touched.
class TransferFile final
{
public:
    explicit TransferFile(const QString &target);
    bool open();
    // Moves what the reply holds to disk; false on a write error.
    bool drain(QNetworkReply *reply);
    qint64 written() const { return m_written; }
    // Puts the file in place; false when it could not replace what is there.
    bool commit();
    // Drops the temporary file.
    void discard();
    QString target() const { return m_target; }

private:
    QString m_target;
    std::unique_ptr<QSaveFile> m_file;
    qint64 m_written = 0;
};

// The reply's announced size, or 0 when it announced none.
qint64 AnnouncedSize(const QNetworkReply *reply);

} // namespace harvly
