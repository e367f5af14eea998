#include "transferfile.h"

#include "common/filenames.h"
#include "common/files.h"
#include "failurereason.h"
#include "filetype.h"

#include <QDir>
#include <QFile>
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
    discard();
}

void TransferFile::pickTarget()
{
    release();
    m_target = RenameSavePath(m_folder, m_title, m_type, m_mode, &m_name);
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
        const QString suffix = m_type.isEmpty() ? QString() : QLatin1Char('.') + m_type;
        const QString plain = m_folder + FitFileName(m_title, suffix) + suffix;
        if (PathTaken(plain)) {
            m_target = plain;
            m_name = FitFileName(m_title, suffix);
            return Result::Skipped;
        }
    }
    pickTarget();
    if (!FolderExists(m_folder)) {
        m_error = FailureReason::notAFolder();
        return Result::Failed;
    }
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
        switch (MoveIntoPlace(temporary, m_target, m_mode == DuplicateMode::Cover)) {
        case FileMove::Done:
            m_file.reset();
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
    release();
}

qint64 AnnouncedSize(const QNetworkReply *reply)
{
    bool ok = false;
    const qint64 size = reply->rawHeader("Content-Length").trimmed().toLongLong(&ok);
    return ok && size > 0 ? size : 0;
}

} // namespace harvly
