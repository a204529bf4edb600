#pragma once

#include <string>

namespace tern::platform {

// A per-user marker that only one running copy can hold, released when the process ends.
class SingleInstance
{
public:
    virtual ~SingleInstance() = default;

    // Tries to take the marker called `name`; false when another running copy holds it.
    virtual bool acquire(const std::string& name) = 0;
};

} // namespace tern::platform
