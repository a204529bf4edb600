// The Win32 platform tests; run with "--child ROLE ..." the program plays the other process of a test.
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <shellapi.h>

int main(int argc, char** argv)
{
    int wideCount = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &wideCount);
    if (wide != nullptr && wideCount >= 2 && std::wstring(wide[1]) == L"--child") {
        const std::vector<std::wstring> arguments(wide + 2, wide + wideCount);
        LocalFree(wide);
        return tern::platform::win::test::RunChildRole(arguments);
    }
    LocalFree(wide);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
