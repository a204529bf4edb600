#pragma once

#include <optional>
#include <string>

namespace tern::platform {

// Persistent per-user settings: named string values grouped in sections. GUI thread only.
class SettingsBackend
{
public:
    virtual ~SettingsBackend() = default;

    // Reads the stored values, creating an empty store when none exists yet. Never throws: an
    // unreadable store reads as empty.
    virtual void open() = 0;

    // The stored value, or nothing when the section or value is absent.
    virtual std::optional<std::string> value(const std::string& section, const std::string& name) const = 0;

    // Sets a value in memory; commit() makes it durable.
    virtual void setValue(const std::string& section, const std::string& name, const std::string& value) = 0;

    // Writes every value durably and atomically. Throws FileError on failure; the previous stored
    // state is then intact.
    virtual void commit() = 0;
};

} // namespace tern::platform
