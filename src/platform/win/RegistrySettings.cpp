#include "platform/win/RegistrySettings.h"

#include "platform/win/WideText.h"
#include "util/Errors.h"

#include <algorithm>
#include <vector>

namespace tern::platform::win {

namespace {

// Registry names are at most 255 characters; string values are read in a buffer grown to their size.
constexpr DWORD kMaxNameChars = 256;

class OpenKey
{
public:
    OpenKey() = default;
    ~OpenKey()
    {
        if (m_key != nullptr)
            RegCloseKey(m_key);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    HKEY* receive() noexcept { return &m_key; }
    HKEY get() const noexcept { return m_key; }

private:
    HKEY m_key = nullptr;
};

bool createKey(const std::wstring& path, OpenKey& key)
{
    return RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           key.receive(), nullptr) == ERROR_SUCCESS;
}

std::optional<std::wstring> readString(HKEY key, const std::wstring& name)
{
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    // A stored string need not end in a zero; one that does loses it here.
    std::wstring text(buffer.data(), std::min<std::size_t>(size / sizeof(wchar_t), buffer.size()));
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text;
}

} // namespace

RegistrySettings::RegistrySettings(std::wstring keyPath) : m_keyPath(std::move(keyPath)) {}

std::wstring RegistrySettings::defaultKeyPath()
{
    return L"Software\\Quarrow Labs\\Tern Clipboard";
}

void RegistrySettings::open()
{
    m_values.clear();
    OpenKey root;
    if (!createKey(m_keyPath, root))
        return;
    wchar_t sectionName[kMaxNameChars];
    for (DWORD index = 0;; ++index) {
        DWORD sectionLength = kMaxNameChars;
        if (RegEnumKeyExW(root.get(), index, sectionName, &sectionLength, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS)
            break;
        const std::wstring section(sectionName, sectionLength);
        OpenKey sectionKey;
        if (RegOpenKeyExW(root.get(), section.c_str(), 0, KEY_READ, sectionKey.receive()) != ERROR_SUCCESS)
            continue;
        wchar_t valueName[kMaxNameChars];
        for (DWORD valueIndex = 0;; ++valueIndex) {
            DWORD nameLength = kMaxNameChars;
            if (RegEnumValueW(sectionKey.get(), valueIndex, valueName, &nameLength, nullptr, nullptr, nullptr,
                              nullptr) != ERROR_SUCCESS)
                break;
            const std::wstring name(valueName, nameLength);
            if (const std::optional<std::wstring> text = readString(sectionKey.get(), name))
                m_values[{Narrow(section), Narrow(name)}] = Narrow(*text);
        }
    }
}

std::optional<std::string> RegistrySettings::value(const std::string& section, const std::string& name) const
{
    const auto found = m_values.find({section, name});
    if (found == m_values.end())
        return std::nullopt;
    return found->second;
}

void RegistrySettings::setValue(const std::string& section, const std::string& name, const std::string& value)
{
    m_values[{section, name}] = value;
}

void RegistrySettings::commit()
{
    for (const auto& [key, text] : m_values) {
        const auto& [section, name] = key;
        OpenKey sectionKey;
        const std::wstring wideText = Widen(text);
        const std::wstring wideName = Widen(name);
        if (!createKey(m_keyPath + L"\\" + Widen(section), sectionKey) ||
            RegSetValueExW(sectionKey.get(), wideName.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(wideText.c_str()),
                           static_cast<DWORD>((wideText.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
            throw FileError("Cannot write the setting " + section + "/" + name + " to the registry.");
    }
}

} // namespace tern::platform::win
