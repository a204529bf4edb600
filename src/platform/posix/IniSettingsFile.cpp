#include "platform/posix/IniSettingsFile.h"

#include "platform/posix/KeyFileText.h"
#include "platform/posix/XdgPaths.h"
#include "util/FileRoutines.h"

namespace tern::platform::x11 {

namespace {

constexpr size_t kMaxSettingsBytes = size_t{4} * 1024 * 1024;

} // namespace

std::string IniSettingsFile::defaultPath()
{
    return XdgConfigHome() + "/Quarrow Labs/Tern Clipboard.ini";
}

IniSettingsFile::IniSettingsFile(std::string path) : m_path(std::move(path)) {}

void IniSettingsFile::open()
{
    CreateFolders(ExtractFilePath(m_path));
    if (!FileExists(m_path)) {
        m_values.clear();
        try {
            WriteFileAtomically(m_path, std::string(), true);
        } catch (const std::exception&) {
            // An unwritable folder reads as empty settings; commit() reports the failure.
        }
        return;
    }
    const auto text = ReadFileBytes(m_path, kMaxSettingsBytes);
    m_values = text ? parse(*text) : decltype(m_values)();
}

std::optional<std::string> IniSettingsFile::value(const std::string& section, const std::string& name) const
{
    const auto found = m_values.find({section, name});
    if (found == m_values.end())
        return std::nullopt;
    return found->second;
}

void IniSettingsFile::setValue(const std::string& section, const std::string& name, const std::string& value)
{
    m_values[{section, name}] = value;
}

void IniSettingsFile::commit()
{
    CreateFolders(ExtractFilePath(m_path));
    WriteFileAtomically(m_path, format(m_values), true);
}

std::string IniSettingsFile::format(const std::map<std::pair<std::string, std::string>, std::string>& values)
{
    std::string text;
    const std::string* section = nullptr;
    for (const auto& [key, value] : values) {
        if (!section || *section != key.first) {
            if (section)
                text += '\n';
            text += '[' + key.first + "]\n";
            section = &key.first;
        }
        text += key.second + '=' + EscapeKeyFileValue(value) + '\n';
    }
    return text;
}

std::map<std::pair<std::string, std::string>, std::string> IniSettingsFile::parse(const std::string& text)
{
    std::map<std::pair<std::string, std::string>, std::string> values;
    std::string section;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos || section.empty() || line.front() == ';')
            continue;
        values.try_emplace({section, line.substr(0, equals)}, UnescapeKeyFileValue(line.substr(equals + 1)));
    }
    return values;
}

} // namespace tern::platform::x11
