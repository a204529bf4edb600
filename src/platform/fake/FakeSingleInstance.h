#pragma once

#include "platform/SingleInstance.h"

#include <set>
#include <string>
#include <vector>

namespace tern::platform::fake {

// Markers held by "other running copies" are listed in `heldElsewhere`; acquire() records its names.
class FakeSingleInstance final : public SingleInstance
{
public:
    bool acquire(const std::string& name) override
    {
        acquired.push_back(name);
        return heldElsewhere.count(name) == 0;
    }

    std::set<std::string> heldElsewhere;
    std::vector<std::string> acquired;
};

} // namespace tern::platform::fake
