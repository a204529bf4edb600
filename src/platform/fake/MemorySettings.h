#pragma once

#include "platform/SettingsBackend.h"

#include <map>
#include <utility>

namespace tern::platform::fake {

// Settings kept in memory; counts what it was asked so tests can check the store's use of it.
class MemorySettings final : public SettingsBackend
{
public:
    void open() override { ++openCount; }
    std::optional<std::string> value(const std::string& section, const std::string& name) const override
    {
        const auto found = values.find({section, name});
        return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
    }
    void setValue(const std::string& section, const std::string& name, const std::string& value) override
    {
        values[{section, name}] = value;
    }
    void commit() override { ++commitCount; }

    std::map<std::pair<std::string, std::string>, std::string> values;
    int openCount = 0;
    int commitCount = 0;
};

} // namespace tern::platform::fake
