// Settings, the single-instance marker, the shell and the remote-control window, each against the
// real system (Wine in CI); a second process is this program run again in a child role.
#include "WinTestSupport.h"
#include "platform/HeadlessServices.h"
#include "platform/RunningCopy.h"
#include "platform/win/MutexSingleInstance.h"
#include "platform/win/RegistrySettings.h"
#include "platform/win/WideText.h"
#include "platform/win/WinDesktopShell.h"
#include "platform/win/WinRemoteControl.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

namespace tern::platform::win {
namespace {

using test::RunChild;
using test::TempDirectory;

constexpr int kNoAnswer = 255;

std::wstring uniqueName(const wchar_t* base)
{
    return base + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount());
}

TEST(RegistrySettings, StringsRoundTripAsRegistryStringsUnderSectionSubkeys)
{
    const std::wstring keyPath = L"Software\\Quarrow Labs\\Tern Clipboard Tests\\" + uniqueName(L"run");
    const std::vector<std::tuple<std::string, std::string, std::string>> values = {
        {"Main", "Login", "zo\xC3\xAB@example.org"},
        {"Main", "Password", ""},
        {"HotKeys", "MainKey", "24665"},
        {"LangModule", "CurrentLanguage", "deutsch.lng"},
        {"Main", "CheckUpdates", "1"},
    };
    {
        RegistrySettings settings(keyPath);
        settings.open();
        EXPECT_FALSE(settings.value("Main", "Login").has_value());
        for (const auto& [section, name, text] : values)
            settings.setValue(section, name, text);
        settings.commit();
    }
    RegistrySettings reread(keyPath);
    reread.open();
    for (const auto& [section, name, text] : values)
        EXPECT_EQ(reread.value(section, name), text) << section << "/" << name;

    // Every value is a registry string in its section's subkey; a value of another type reads as absent.
    HKEY main = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, (keyPath + L"\\Main").c_str(), 0, KEY_ALL_ACCESS, &main),
              ERROR_SUCCESS);
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExW(main, L"CheckUpdates", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    const DWORD number = 7;
    RegSetValueExW(main, L"CurColor", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
    RegCloseKey(main);
    reread.open();
    EXPECT_FALSE(reread.value("Main", "CurColor").has_value());
    RegDeleteTreeW(HKEY_CURRENT_USER, keyPath.c_str());

    // The program's own key exists once the settings are opened.
    CreateSettingsBackend()->open();
    HKEY own = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, RegistrySettings::defaultKeyPath().c_str(), 0, KEY_READ, &own),
              ERROR_SUCCESS);
    RegCloseKey(own);
}

TEST(MutexSingleInstance, OnlyOneHolderAcrossProcessesUntilItsEnd)
{
    const std::wstring name = uniqueName(L"TernClipboard_test_");
    auto first = std::make_unique<MutexSingleInstance>();
    ASSERT_TRUE(first->acquire(Narrow(name)));
    EXPECT_FALSE(MutexSingleInstance().acquire(Narrow(name)));
    EXPECT_EQ(RunChild({L"acquire", name}), 1) << "a second process took the marker";
    first.reset();
    EXPECT_EQ(RunChild({L"acquire", name}), 0);
}

TEST(WinDesktopShell, FoldersProgramAndStartupLink)
{
    WinDesktopShell shell;
    for (const SpecialFolder folder : {SpecialFolder::ApplicationData, SpecialFolder::Startup}) {
        const std::string path = shell.specialFolderPath(folder);
        SCOPED_TRACE(path);
        ASSERT_FALSE(path.empty());
        EXPECT_NE(path.back(), '\\');
        const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
        EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    }
    const std::string program = shell.programPath();
    EXPECT_TRUE(program.ends_with(".exe")) << program;
    EXPECT_NE(GetFileAttributesW(Widen(program).c_str()), INVALID_FILE_ATTRIBUTES);

    const TempDirectory folder;
    const std::string link = Narrow(folder.path()) + "Tern Clipboard.lnk";
    const std::string target = Narrow(folder.write(L"tern-clipboard.exe", "MZ"));
    shell.writeStartupEntry(link, "C:\\elsewhere\\old.exe", "C:\\elsewhere\\");
    shell.writeStartupEntry(link, target, Narrow(folder.path()));
    const auto saved = WinDesktopShell::readShellLink(link);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->first, target);
    EXPECT_EQ(saved->second, Narrow(folder.path()));
    DeleteFileW(Widen(link).c_str());
    EXPECT_THROW(shell.writeStartupEntry(Narrow(folder.path()) + "missing\\x.lnk", target, "C:\\"),
                 FileError);

    // Only web addresses reach the shell.
    EXPECT_FALSE(shell.openTarget(program));
    EXPECT_FALSE(shell.openTarget("file:///C:/windows/notepad.exe"));
}

TEST(WinRemoteControl, QuitMessageIsAnsweredAcrossProcesses)
{
    const std::wstring title = uniqueName(L"TernClipboardStarted-test-");
    int quits = 0;
    WinRemoteControl control;
    control.listen(Narrow(title), [&quits](std::uint32_t message, std::int64_t wParam, std::int64_t lParam) {
        if (message != kQuitMessage || wParam != kQuitMessage || lParam != kQuitMessage)
            return std::int64_t{0};
        ++quits;
        return std::int64_t{kQuitMessage};
    });
    EXPECT_EQ(RunChild({L"send", title, L"1183"}), static_cast<int>(kQuitMessage));
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(RunChild({L"send", title, L"0"}), 0);
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(RunChild({L"send", uniqueName(L"nobody-"), L"1183"}), kNoAnswer);
    // The hidden window is a top-level one: FindWindow sees it, and it is never shown.
    const HWND window = FindWindowW(nullptr, title.c_str());
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
}

} // namespace

namespace test {

// acquire NAME: exit 0 when the marker was taken, 1 when another holder has it.
// send TITLE LPARAM: sends the quit message with that lParam; exits with the answer, 255 for none.
int RunServicesChildRole(const std::vector<std::wstring>& arguments)
{
    if (arguments.size() == 2 && arguments[0] == L"acquire")
        return MutexSingleInstance().acquire(Narrow(arguments[1])) ? 0 : 1;
    if (arguments.size() == 3 && arguments[0] == L"send") {
        const auto answer = SendToRunningCopy(Narrow(arguments[1]), kQuitMessage, kQuitMessage,
                                              std::stoll(arguments[2]), 5000);
        return answer ? static_cast<int>(*answer) : kNoAnswer;
    }
    return -2;
}

} // namespace test
} // namespace tern::platform::win
