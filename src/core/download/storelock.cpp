#include "storelock.h"

#include <QDir>
#include <QFileInfo>

namespace harvly {

StoreLock::StoreLock(const QString &storeFile)
    : m_path(storeFile + QStringLiteral(".lock")), m_lock(m_path)
{
    // A run may keep its list for hours: only a holder that is gone makes a lock stale.
    m_lock.setStaleLockTime(0);
}

bool StoreLock::acquire()
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    if (m_lock.isLocked() || m_lock.tryLock(0)) {
        return true;
    }
    if (m_lock.error() != QLockFile::LockFailedError) {
        return true; // no lock can be made there; nor can the list be written, as it will say
    }
    QString host;
    QString application;
    if (!m_lock.getLockInfo(&m_holder, &host, &application)) {
        m_holder = 0;
    }
    return false;
}

} // namespace harvly
