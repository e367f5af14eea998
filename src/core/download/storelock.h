#pragma once

#include <QLockFile>
#include <QString>

namespace harvly {

// One run at a time keeps a download list: a lock file beside the store ("<store>.lock")
// that names the process holding it. A lock left by a process that died is taken over.
class StoreLock final
{
public:
    explicit StoreLock(const QString &storeFile);
    Q_DISABLE_COPY_MOVE(StoreLock)

    // False when another process (or another window of this one) holds the list; holder()
    // tells which.
    bool acquire();
    qint64 holder() const { return m_holder; }
    void release() { m_lock.unlock(); }

private:
    QString m_path;
    QLockFile m_lock;
    qint64 m_holder = 0;
};

} // namespace harvly
