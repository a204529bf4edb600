#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tern::platform::win::test {

// Serves this thread's messages until `condition` holds or `timeoutMs` has passed; its result.
bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

// Runs this test program again as `--child ARGUMENTS...`, serving this thread's messages while it
// runs (so that it can send us messages); its exit code, or -1 when it did not start or end in time.
int RunChild(const std::vector<std::wstring>& arguments, int timeoutMs = 20000);

// A fresh folder in the temporary folder, removed with its files at the end of the scope.
class TempDirectory
{
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    // The folder's path with a trailing backslash.
    const std::wstring& path() const noexcept { return m_path; }
    // Writes `bytes` to the file `name` in the folder; its full path.
    std::wstring write(const std::wstring& name, const std::string& bytes) const;

private:
    std::wstring m_path;
};

// The child roles of the test program (`--child ROLE ...`), each returning its exit code.
int RunChildRole(const std::vector<std::wstring>& arguments);

} // namespace tern::platform::win::test
