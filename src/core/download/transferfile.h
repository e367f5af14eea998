#pragma once

#include "resume.h"
#include "savenames.h"

#include <QString>

#include <functional>

#include <memory>

class QFile;
class QNetworkReply;

namespace harvly {

// A document on its way into the download folder. The name it will take is picked and
// reserved at once, so a transfer running beside it picks another; the body streams into a
// hidden temporary file beside it and takes the name only when the download has succeeded.
// Until then no file is touched, and the final move replaces a file only under "Cover".
// A transfer cut off by the network keeps its temporary file when the server can send the
// rest (see resume.h); the next attempt continues it.
class TransferFile final
{
public:
    enum class Result { Done, Skipped, Failed };

    // folder ends with a separator or not; type may be empty (no extension then).
    TransferFile(const QString &folder, const QString &name, const QString &type,
                 DuplicateMode mode);
    // A file still open is kept when it can be continued (its row lists it), else removed.
    ~TransferFile();
    Q_DISABLE_COPY_MOVE(TransferFile)

    // Before open(): the address this attempt fetches, and what an earlier attempt left. The
    // earlier part is continued when it came from the same address into this folder and can
    // be continued; otherwise open() removes it.
    void setPartial(const QString &address, const PartialFile &earlier);
    // Before open(): the row's file from an earlier download. Its name is the row's own: it
    // is neither skipped nor counted past, and commit() replaces it.
    void setEarlierFile(const QString &path) { m_earlierFile = path; }
    // False when the row's earlier file is a document and this one is a web page.
    bool bringsTheDocument() const;
    // Picks and reserves the target name and opens the temporary file. Skipped: "Skip" is
    // chosen and the name is taken.
    Result open();
    // The bytes an earlier attempt left, which the answer should continue; 0 for a new file.
    qint64 offset() const { return m_offset; }
    // Fits the answer's body onto the file: the rest of the part (206 from its end), or the
    // whole document (the part is emptied); notes the answer's validator. False for a part
    // that does not fit or a file that could not be emptied (see errorString()).
    bool takeAnswer(const QNetworkReply &reply);
    // The document's whole size by the answer, counting the part it continues; 0 when unknown.
    qint64 wholeSize(const QNetworkReply &reply) const;
    // The answer's validator (see ResumeValidator); empty when it cannot be continued.
    void setValidator(const QString &validator) { m_validator = validator; }
    // The temporary file as the row lists it.
    PartialFile partial() const;
    // The transfer was cut off: the temporary file stays for the next attempt when the
    // server can send the rest and some bytes came; else it is dropped. What was kept.
    PartialFile keep();
    // Moves what the reply holds to disk; false on a write error (see errorString()).
    bool drain(QNetworkReply *reply);
    qint64 written() const { return m_written; }
    // False for a file that is a PDF by its content but has no "%%EOF" in its last 1,024
    // bytes: a document cut off, also when the server announced no size or a short one.
    bool pdfIsWhole();
    // The temporary file, written out, when its content is a PDF; "" otherwise.
    QString pdfToCheck();
    // Puts the file in place. A file that took the name meanwhile is replaced under "Cover";
    // under "Rename" the next free name is taken; under "Skip" the download is dropped
    // (Skipped). Failed leaves the temporary file for discard().
    Result commit();
    // Drops the temporary file and the reservation.
    void discard();

    // Told before each attempt to give the file its name (the rename that makes it final).
    std::function<void(const QString &part, const QString &target)> beforePlacing;

    QString target() const { return m_target; }
    // The base name that goes with the target (the row's title as saved).
    QString name() const { return m_name; }
    QString errorString() const { return m_error; }

private:
    // The target without a counter: folder, title fitted to the file system, type; *name
    // receives the fitted title.
    QString plainName(QString *name) const;
    void pickTarget();
    void release();
    bool reopen();
    bool startOver();

    QString m_folder;
    QString m_title;
    QString m_type;
    DuplicateMode m_mode;
    QString m_target;
    QString m_name;
    QString m_reserved;
    std::unique_ptr<QFile> m_file;
    QString m_temporary;
    QString m_address;
    PartialFile m_earlier;
    QString m_earlierFile;
    QString m_validator;
    qint64 m_offset = 0;
    qint64 m_written = 0;
    QString m_error;
};

class DownloadListModel;

// Makes and opens the file of a row's transfer into folder: it continues what the row's last
// attempt left, tells the list before it takes its name, and is listed with the row (nothing
// is when it did not open); an opened file's name becomes the row's title.
TransferFile::Result OpenRowFile(DownloadListModel &list, quint64 rowId, const QString &folder,
                                 DuplicateMode mode, std::unique_ptr<TransferFile> &file);

// The reply's announced size, or 0 when it announced none.
qint64 AnnouncedSize(const QNetworkReply *reply);

} // namespace harvly
