#include "platform/win/WinDesktopShell.h"

#include "platform/ShellRoutines.h"
#include "platform/win/WideText.h"
#include "util/Errors.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

#include <vector>

namespace tern::platform::win {

namespace {

// Sets up the component-object services for this thread for one call when they are not set up yet.
class ComScope
{
public:
    ComScope() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope()
    {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT m_result;
};

// Releases a component object at the end of the scope.
template <typename Interface> class ComPointer
{
public:
    ComPointer() = default;
    ~ComPointer()
    {
        if (m_pointer != nullptr)
            m_pointer->Release();
    }
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;

    Interface* operator->() const noexcept { return m_pointer; }
    Interface* get() const noexcept { return m_pointer; }
    void** receive() noexcept { return reinterpret_cast<void**>(&m_pointer); }

private:
    Interface* m_pointer = nullptr;
};

} // namespace

std::string WinDesktopShell::specialFolderPath(SpecialFolder folder) const
{
    wchar_t path[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, static_cast<int>(folder), nullptr, SHGFP_TYPE_CURRENT, path) != S_OK)
        return {};
    std::wstring text(path);
    while (text.size() > 3 && (text.back() == L'\\' || text.back() == L'/'))
        text.pop_back();
    return Narrow(text);
}

std::string WinDesktopShell::programPath() const
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return Narrow(std::wstring_view(buffer.data(), length));
        buffer.resize(buffer.size() * 2);
    }
}

void WinDesktopShell::writeStartupEntry(const std::string& path, const std::string& target,
                                        const std::string& workingFolder)
{
    const ComScope com;
    const std::wstring linkPath = Widen(path);
    const std::wstring wideTarget = Widen(target);
    const std::wstring wideFolder = Widen(workingFolder);
    ComPointer<IShellLinkW> link;
    ComPointer<IPersistFile> file;
    DeleteFileW(linkPath.c_str());
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.receive())) ||
        FAILED(link->SetPath(wideTarget.c_str())) || FAILED(link->SetWorkingDirectory(wideFolder.c_str())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.receive())) ||
        FAILED(file->Save(linkPath.c_str(), FALSE)))
        throw FileError("Cannot create the start-up shortcut " + path + ".");
}

std::optional<std::pair<std::string, std::string>> WinDesktopShell::readShellLink(const std::string& path)
{
    const ComScope com;
    ComPointer<IShellLinkW> link;
    ComPointer<IPersistFile> file;
    wchar_t target[MAX_PATH] = {};
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.receive())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.receive())) ||
        FAILED(file->Load(Widen(path).c_str(), STGM_READ)) ||
        FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) ||
        FAILED(link->GetWorkingDirectory(folder, MAX_PATH)))
        return std::nullopt;
    return std::pair{Narrow(target), Narrow(folder)};
}

bool WinDesktopShell::openTarget(const std::string& target)
{
    if (!IsWebAddress(target))
        return false;
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", Widen(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

} // namespace tern::platform::win
