#include "platform/NamedMutex.h"

#include <windows.h>

namespace mv53::platform {

NamedMutex::~NamedMutex()
{
    if (m_handle)
        ::CloseHandle(static_cast<HANDLE>(m_handle));
}

bool NamedMutex::TryAcquire()
{
    if (m_handle)
        return true;
    HANDLE h = ::CreateMutexA(nullptr, FALSE, m_name.c_str());
    if (h == nullptr)
        return false;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(h);
        return false;
    }
    m_handle = h;
    return true;
}

} // namespace mv53::platform
