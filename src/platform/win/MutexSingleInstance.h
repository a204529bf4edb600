#pragma once

#include "platform/SingleInstance.h"

#include <windows.h>

namespace tern::platform::win {

// The marker is a named kernel mutex, created owned; it exists while this object (or the process)
// holds its handle. It is an existence marker only: nobody waits on it.
class MutexSingleInstance final : public SingleInstance
{
public:
    MutexSingleInstance() = default;
    ~MutexSingleInstance() override;
    MutexSingleInstance(const MutexSingleInstance&) = delete;
    MutexSingleInstance& operator=(const MutexSingleInstance&) = delete;

    // False when a mutex of that name exists already (in this process too), or cannot be created.
    bool acquire(const std::string& name) override;

private:
    HANDLE m_mutex = nullptr;
};

} // namespace tern::platform::win
