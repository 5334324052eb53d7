#include "platform/SingleInstance.h"

#ifdef _WIN32
#include "platform/NamedMutex.h"
#endif

#include <QDir>
#include <QStandardPaths>

namespace mv53::platform {

#ifndef _WIN32
// Only Windows holds a named mutex; the member's type is complete there.
class NamedMutex {};
#endif

SingleInstanceLock::SingleInstanceLock(const QString& name, const QString& folder) : m_name(name)
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
#ifdef _WIN32
    if (!m_held) {
        if (!m_mutex)
            m_mutex = std::make_unique<NamedMutex>(m_name.toStdString());
        if (!m_mutex->TryAcquire())
            return false;
    }
#endif
    if (!m_held)
        m_held = m_lock->tryLock(0);
    return m_held;
}

}  // namespace mv53::platform
