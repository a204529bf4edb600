#include "platform/fake/FakeDesktopShell.h"

#include "util/FileRoutines.h"

namespace tern::platform::fake {

void FakeDesktopShell::writeStartupEntry(const std::string& path, const std::string& target,
                                         const std::string& workingFolder)
{
    WriteFileAtomically(path, target + "\n" + workingFolder + "\n", false);
    ++startupEntriesWritten;
}

} // namespace tern::platform::fake
