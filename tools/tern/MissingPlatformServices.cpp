#include "platform/HeadlessServices.h"

#include "util/Errors.h"

// Stands in for the platform services on a system whose implementations are not part of the build:
// every command that needs settings, the program's folders or the running copy fails with one clear
// message; the others (digest, container and snapshot with a given password value) work.
namespace tern::platform {

namespace {

[[noreturn]] void unavailable()
{
    throw Error("This build of tern has no settings store for this system");
}

} // namespace

std::unique_ptr<SettingsBackend> CreateSettingsBackend()
{
    unavailable();
}

std::unique_ptr<DesktopShell> CreateDesktopShell()
{
    unavailable();
}

std::unique_ptr<SingleInstance> CreateSingleInstance()
{
    unavailable();
}

std::optional<std::int64_t> SendToRunningCopy(const std::string& /*title*/, std::uint32_t /*message*/,
                                              std::int64_t /*wParam*/, std::int64_t /*lParam*/,
                                              int /*timeoutMs*/)
{
    unavailable();
}

} // namespace tern::platform
