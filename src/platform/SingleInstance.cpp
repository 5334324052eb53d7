#include "platform/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace mv53::platform {

SingleInstanceLock::SingleInstanceLock(const QString& name, const QString& folder)
{
    QString dir = folder;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    m_path = QDir(dir).filePath(name + QStringLiteral(".lock"));
    m_lock = std::make_unique<QLockFile>(m_path);
    // Never treat a live holder's lock as stale because of its age: only a dead process's is.
    m_lock->setStaleLockTime(0);
}

SingleInstanceLock::~SingleInstanceLock()
{
    if (m_held)
        m_lock->unlock();
}

bool SingleInstanceLock::TryAcquire()
{
    if (!m_held)
        m_held = m_lock->tryLock(0);
    return m_held;
}

}  // namespace mv53::platform
