#pragma once
// One running copy per user: a named lock file held for the whole run (on Windows first the
// session's named mutex of the same name). A second copy that finds the lock taken by a live
// process ends at once.

#include <QLockFile>
#include <QString>

#include <memory>

namespace mv53::platform {

class NamedMutex;

class SingleInstanceLock final {
public:
    // name: "MV53Win". folder: where the lock lives; empty for the user's runtime folder (or
    // the temporary folder when there is none).
    explicit SingleInstanceLock(const QString& name, const QString& folder = {});
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // True when this process now holds the lock; false when another live process holds it.
    // A lock left behind by a process that died is taken over.
    bool TryAcquire();
    bool Held() const { return m_held; }
    const QString& Path() const { return m_path; }

private:
    QString m_name;
    QString m_path;
    std::unique_ptr<NamedMutex> m_mutex;   // Windows only
    std::unique_ptr<QLockFile> m_lock;
    bool m_held = false;
};

}  // namespace mv53::platform
