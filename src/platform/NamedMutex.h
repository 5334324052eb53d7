#pragma once
// One running copy per session on Windows: a named mutex held for the whole run. The second
// process that creates a mutex of the same name finds it existing and gives up; the system
// releases the mutex when its holder ends, however it ends.

#include <string>
#include <utility>

namespace mv53::platform {

class NamedMutex final {
public:
    explicit NamedMutex(std::string name) : m_name(std::move(name)) {}
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // True when this process now holds the name; false when another holder has it.
    bool TryAcquire();
    bool Held() const { return m_handle != nullptr; }
    const std::string& Name() const { return m_name; }

private:
    std::string m_name;
    void* m_handle = nullptr;
};

} // namespace mv53::platform
