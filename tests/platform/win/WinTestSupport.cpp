#include "WinTestSupport.h"

#include <chrono>
#include <vector>

namespace tern::platform::win::test {

namespace {

void serveMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::wstring quoted(const std::wstring& argument)
{
    return L"\"" + argument + L"\"";
}

} // namespace

bool PumpUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        serveMessages();
        if (condition())
            return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                  static_cast<DWORD>(std::min<long long>(left.count(), 50)), QS_ALLINPUT);
    }
}

int RunChild(const std::vector<std::wstring>& arguments, int timeoutMs)
{
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring commandLine = quoted(program) + L" --child";
    for (const std::wstring& argument : arguments)
        commandLine += L" " + quoted(argument);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    CloseHandle(process.hThread);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    DWORD code = static_cast<DWORD>(-1);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            TerminateProcess(process.hProcess, 1);
            break;
        }
        const DWORD woken = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE,
                                                      static_cast<DWORD>(left.count()), QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) {
            GetExitCodeProcess(process.hProcess, &code);
            break;
        }
        serveMessages();
    }
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

TempDirectory::TempDirectory()
{
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    m_path = std::wstring(base) + L"tern-win-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(++counter) + L"\\";
    CreateDirectoryW(m_path.c_str(), nullptr);
}

TempDirectory::~TempDirectory()
{
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((m_path + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileW((m_path + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(m_path.c_str());
}

std::wstring TempDirectory::write(const std::wstring& name, const std::string& bytes) const
{
    const std::wstring path = m_path + name;
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    return path;
}

} // namespace tern::platform::win::test

namespace tern::platform::win::test {

int RunServicesChildRole(const std::vector<std::wstring>& arguments);
int RunClipboardChildRole(const std::vector<std::wstring>& arguments);

int RunChildRole(const std::vector<std::wstring>& arguments)
{
    if (!arguments.empty() && arguments[0].starts_with(L"clipboard-"))
        return RunClipboardChildRole(arguments);
    return RunServicesChildRole(arguments);
}

} // namespace tern::platform::win::test
