#pragma once

#include "savenames.h"

#include <QString>

#include <memory>

class QFile;
class QNetworkReply;

namespace harvly {

// A document on its way into the download folder. The name it will take is picked and
// reserved at once, so a transfer running beside it picks another; the body streams into a
// hidden temporary file beside it and takes the name only when the download has succeeded.
// Until then no file is touched, and the final move replaces a file only under "Cover".
class TransferFile final
{
public:
    enum class Result { Done, Skipped, Failed };

    // folder ends with a separator or not; type may be empty (no extension then).
    TransferFile(const QString &folder, const QString &name, const QString &type,
                 DuplicateMode mode);
    ~TransferFile();
    Q_DISABLE_COPY_MOVE(TransferFile)

    // Picks and reserves the target name and opens the temporary file. Skipped: "Skip" is
    // chosen and the name is taken.
    Result open();
    // Moves what the reply holds to disk; false on a write error (see errorString()).
    bool drain(QNetworkReply *reply);
    qint64 written() const { return m_written; }
    // False for a file that is a PDF by its content but has no "%%EOF" in its last 1,024
    // bytes: a document cut off, also when the server announced no size or a short one.
    bool pdfIsWhole();
    // Puts the file in place. A file that took the name meanwhile is replaced under "Cover";
    // under "Rename" the next free name is taken; under "Skip" the download is dropped
    // (Skipped). Failed leaves the temporary file for discard().
    Result commit();
    // Drops the temporary file and the reservation.
    void discard();

    QString target() const { return m_target; }
    // The base name that goes with the target (the row's title as saved).
    QString name() const { return m_name; }
    QString errorString() const { return m_error; }

private:
    void pickTarget();
    void release();

    QString m_folder;
    QString m_title;
    QString m_type;
    DuplicateMode m_mode;
    QString m_target;
    QString m_name;
    QString m_reserved;
    std::unique_ptr<QFile> m_file;
    QString m_temporary;
    qint64 m_written = 0;
    QString m_error;
};

// The reply's announced size, or 0 when it announced none.
qint64 AnnouncedSize(const QNetworkReply *reply);

} // namespace harvly
