#pragma once

#include "platform/SettingsBackend.h"

#include <map>
#include <string>
#include <utility>

namespace tern::platform::x11 {

// Settings in one INI file ("[Section]" headers, "Name=Value" lines; a backslash, CR and LF in a value
// are written as \\, \r and \n). The file is replaced atomically and readable by its owner only.
class IniSettingsFile final : public SettingsBackend
{
public:
    // The program's file: $XDG_CONFIG_HOME/Quarrow Labs/Tern Clipboard.ini.
    static std::string defaultPath();

    explicit IniSettingsFile(std::string path);

    void open() override;
    std::optional<std::string> value(const std::string& section, const std::string& name) const override;
    void setValue(const std::string& section, const std::string& name, const std::string& value) override;
    void commit() override;

    // The file's text for `values`, and `values` from such a text.
    static std::string format(const std::map<std::pair<std::string, std::string>, std::string>& values);
    static std::map<std::pair<std::string, std::string>, std::string> parse(const std::string& text);

private:
    std::string m_path;
    std::map<std::pair<std::string, std::string>, std::string> m_values;
};

} // namespace tern::platform::x11
