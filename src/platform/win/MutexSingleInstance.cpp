#include "platform/win/MutexSingleInstance.h"

#include "platform/win/WideText.h"

namespace tern::platform::win {

MutexSingleInstance::~MutexSingleInstance()
{
    if (m_mutex != nullptr)
        CloseHandle(m_mutex);
}

bool MutexSingleInstance::acquire(const std::string& name)
{
    if (m_mutex != nullptr)
        return false;
    const HANDLE mutex = CreateMutexW(nullptr, TRUE, Widen(name).c_str());
    const DWORD error = GetLastError();
    if (mutex == nullptr)
        return false;
    if (error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    m_mutex = mutex;
    return true;
}

} // namespace tern::platform::win
