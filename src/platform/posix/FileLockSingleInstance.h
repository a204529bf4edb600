#pragma once

#include "platform/SingleInstance.h"

namespace tern::platform::x11 {

// The marker is an exclusive flock() on the file "<name>.lock" in $XDG_RUNTIME_DIR (else the data
// folder "$XDG_DATA_HOME/Tern Clipboard", else /tmp/tern-<uid>). The descriptor stays open, so the
// lock lasts until the object goes or the process ends, however it ends; it is not inherited by
// child processes. When no lock file can be made at all, acquire() answers true: a broken marker
// must not keep the only copy from starting.
class FileLockSingleInstance final : public SingleInstance
{
public:
    FileLockSingleInstance() = default;
    ~FileLockSingleInstance() override;
    FileLockSingleInstance(const FileLockSingleInstance&) = delete;
    FileLockSingleInstance& operator=(const FileLockSingleInstance&) = delete;

    bool acquire(const std::string& name) override;

    // The file that acquire(name) locks.
    static std::string lockPath(const std::string& name);

private:
    int m_fd = -1;
};

} // namespace tern::platform::x11
