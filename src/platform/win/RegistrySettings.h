#pragma once

#include "platform/SettingsBackend.h"

#include <windows.h>

#include <map>
#include <string>
#include <utility>

namespace tern::platform::win {

// The settings under one registry key of the current user: each section a subkey, every value a
// string (REG_SZ). Values of other types read as absent. The key is created by open() when missing.
// commit() writes value by value: the registry has no transaction over several values, so a failure
// part-way leaves the values written before it changed (each single value is replaced whole).
class RegistrySettings final : public SettingsBackend
{
public:
    // `keyPath` below HKEY_CURRENT_USER.
    explicit RegistrySettings(std::wstring keyPath = defaultKeyPath());

    void open() override;
    std::optional<std::string> value(const std::string& section, const std::string& name) const override;
    void setValue(const std::string& section, const std::string& name, const std::string& value) override;
    // Throws FileError naming the value that could not be written.
    void commit() override;

    // "Software\Quarrow Labs\Tern Clipboard".
    static std::wstring defaultKeyPath();

private:
    std::wstring m_keyPath;
    std::map<std::pair<std::string, std::string>, std::string> m_values;
};

} // namespace tern::platform::win
