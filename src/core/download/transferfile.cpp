#include "transferfile.h"

#include "common/filenames.h"
#include "common/files.h"
#include "correction.h"
#include "downloadlist.h"
#include "earlierfile.h"
#include "failurereason.h"
#include "filetype.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace harvly {

TransferFile::TransferFile(const QString &folder, const QString &name, const QString &type,
                           DuplicateMode mode)
    : m_folder(folder), m_title(name), m_type(type), m_mode(mode)
{
    if (m_folder.isEmpty() || !IsPathSeparator(m_folder.back())) {
        m_folder += QDir::separator();
    }
}

TransferFile::~TransferFile()
{
    // Dropped without a verdict (the program closing mid-transfer): a part that can be
    // continued is listed with its row already, so it stays.
    if (!m_validator.isEmpty()) {
        keep();
    }
    discard();
}

void TransferFile::setPartial(const QString &address, const PartialFile &earlier)
{
    m_address = address;
    m_earlier = earlier;
}

bool TransferFile::reopen()
{
    if (ResumableFrom(m_earlier, m_address, m_folder) <= 0) {
        return false;
    }
    auto file = std::make_unique<QFile>(m_earlier.path);
    const qint64 size = file->size();
    if (size <= 0 ||
        !file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        return false;
    }
    m_temporary = file->fileName();
    m_file = std::move(file);
    m_validator = m_earlier.validator;
    m_offset = size;
    m_written = size;
    return true;
}

QString TransferFile::plainName(QString *name) const
{
    const QString suffix = m_type.isEmpty() ? QString() : QLatin1Char('.') + m_type;
    *name = FitFileName(m_title, suffix);
    return m_folder + *name + suffix;
}

void TransferFile::pickTarget()
{
    release();
    QString name;
    const QString plain = plainName(&name);
    if (!m_earlierFile.isEmpty() && plain == m_earlierFile && !IsPathReserved(plain)) {
        m_target = plain; // the row's own file: this download replaces it
        m_name = name;
    } else {
        m_target = RenameSavePath(m_folder, m_title, m_type, m_mode, &m_name);
    }
    if (ReservePath(m_target)) {
        m_reserved = m_target;
    }
}

void TransferFile::release()
{
    if (!m_reserved.isEmpty()) {
        ReleasePath(m_reserved);
        m_reserved.clear();
    }
}

TransferFile::Result TransferFile::open()
{
    if (m_mode == DuplicateMode::Skip) {
        QString name;
        const QString plain = plainName(&name);
        if (PathTaken(plain) && plain != m_earlierFile) {
            m_target = plain;
            m_name = name;
            RemovePartialFile(m_earlier);
            return Result::Skipped;
        }
    }
    pickTarget();
    if (!FolderExists(m_folder)) {
        m_error = FailureReason::notAFolder();
        RemovePartialFile(m_earlier);
        return Result::Failed;
    }
    if (reopen()) {
        return Result::Done;
    }
    RemovePartialFile(m_earlier);
    // A hidden name of its own beside the target, made with the usual permissions.
    auto file = std::make_unique<QFile>();
    if (!OpenPartFile(*file, m_folder, QIODevice::Unbuffered)) {
        m_error = FailureReason::ofFile(*file);
        return Result::Failed;
    }
    m_temporary = file->fileName();
    m_file = std::move(file);
    return Result::Done;
}

bool TransferFile::startOver()
{
    m_offset = 0;
    if (!m_file || m_written == 0) {
        return m_file != nullptr;
    }
    m_written = 0;
    if (!m_file->resize(0) || !m_file->seek(0)) {
        m_error = FailureReason::ofFile(*m_file);
        return false;
    }
    return true;
}

bool TransferFile::takeAnswer(const QNetworkReply &reply)
{
    if (!ContinuesAt(reply, m_offset)) {
        if (reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 206) {
            m_error = FailureReason::wrongRange();
            return false;
        }
        if (!startOver()) {
            return false;
        }
    }
    m_validator = ResumeValidator(reply);
    return true;
}

qint64 TransferFile::wholeSize(const QNetworkReply &reply) const
{
    const qint64 announced = AnnouncedSize(&reply);
    return announced > 0 ? m_offset + announced : 0;
}

PartialFile TransferFile::partial() const
{
    if (!m_file) {
        return {};
    }
    return PartialFile{m_temporary, m_validator, m_address};
}

PartialFile TransferFile::keep()
{
    if (!m_file || m_validator.isEmpty() || m_written <= 0 || !m_file->flush()) {
        discard();
        return {};
    }
    const PartialFile kept = partial();
    m_file->close();
    m_file.reset();
    m_temporary.clear();
    m_validator.clear();
    release();
    return kept;
}

QString TransferFile::pdfToCheck()
{
    if (!m_file || m_temporary.isEmpty()) {
        return {};
    }
    m_file->flush();
    return OpenFileToAnalyzingFileType(m_temporary) == QLatin1String("pdf") ? m_temporary
                                                                            : QString();
}

bool TransferFile::pdfIsWhole()
{
    if (!m_file || m_temporary.isEmpty()) {
        return true;
    }
    m_file->flush();
    if (OpenFileToAnalyzingFileType(m_temporary) != QLatin1String("pdf")) {
        return true;
    }
    QFile f(m_temporary);
    if (!f.open(QIODevice::ReadOnly)) {
        return true; // what cannot be read is judged by the move that follows
    }
    f.seek(qMax<qint64>(0, f.size() - 1024));
    return f.read(1024).contains("%%EOF");
}

bool TransferFile::bringsTheDocument() const
{
    return !m_file || BringsTheDocument(m_earlierFile, m_temporary);
}

bool TransferFile::drain(QNetworkReply *reply)
{
    if (!m_file) {
        return false;
    }
    char buffer[64 * 1024];
    for (qint64 n; (n = reply->read(buffer, sizeof buffer)) > 0;) {
        // A short write is followed by another, which tells why (a full disk, say).
        for (qint64 done = 0; done < n;) {
            const qint64 w = m_file->write(buffer + done, n - done);
            if (w <= 0) {
                m_error = FailureReason::ofFile(*m_file);
                return false;
            }
            done += w;
        }
        m_written += n;
    }
    return true;
}

TransferFile::Result TransferFile::commit()
{
    if (!m_file) {
        return Result::Failed;
    }
    if (!m_file->flush()) {
        m_error = FailureReason::ofFile(*m_file);
        return Result::Failed;
    }
    m_file->close();
    if (m_file->error() != QFileDevice::NoError) {
        m_error = FailureReason::ofFile(*m_file);
        return Result::Failed;
    }
    const QString temporary = m_temporary;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        if (beforePlacing) {
            beforePlacing(temporary, m_target);
        }
        const bool replace = m_mode == DuplicateMode::Cover || m_target == m_earlierFile;
        switch (MoveIntoPlace(temporary, m_target, replace)) {
        case FileMove::Done:
            m_file.reset();
            m_validator.clear();
            release();
            return Result::Done;
        case FileMove::Failed:
            m_error = FailureReason::cannotReplace(qt_error_string(errno));
            return Result::Failed;
        case FileMove::Taken:
            if (m_mode == DuplicateMode::Skip) {
                discard();
                return Result::Skipped;
            }
            pickTarget(); // a file took the name meanwhile: the next free one
            break;
        }
    }
    m_error = FailureReason::cannotReplace(QStringLiteral("no free name"));
    return Result::Failed;
}

void TransferFile::discard()
{
    if (m_file) {
        m_file->close();
        QFile::remove(m_temporary);
        m_file.reset();
    }
    m_validator.clear();
    release();
}

TransferFile::Result OpenRowFile(DownloadListModel &list, quint64 rowId, const QString &folder,
                                 DuplicateMode mode, std::unique_ptr<TransferFile> &file)
{
    const DownloadRow *row = list.find(rowId);
    file = std::make_unique<TransferFile>(folder, row->text, row->type, mode);
    file->setPartial(GetItemUrlFromKey(row->key), row->part);
    file->setEarlierFile(row->earlier);
    file->beforePlacing = [&list, rowId](const QString &part, const QString &target) {
        list.notePlacing(rowId, part, target);
    };
    const TransferFile::Result opened = file->open();
    const PartialFile part = file->partial(); // the earlier part continued, or removed by open()
    const QString name = file->name();
    const bool listed = list.update(rowId, [&](DownloadRow &r) {
        r.part = part;
        if (opened == TransferFile::Result::Done) {
            r.text = name;
        }
    });
    if (!listed) {
        RemovePartialFile(part); // the row is gone: nothing would ever continue it
    }
    return opened;
}

qint64 AnnouncedSize(const QNetworkReply *reply)
{
    bool ok = false;
    const qint64 size = reply->rawHeader("Content-Length").trimmed().toLongLong(&ok);
    return ok && size > 0 ? size : 0;
}

} // namespace harvly
