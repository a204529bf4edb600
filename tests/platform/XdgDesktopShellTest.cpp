#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

#include "platform/posix/XdgDesktopShell.h"
#include "util/FileRoutines.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include <sys/stat.h>

using tern::platform::x11::XdgDesktopShell;

namespace {

// Opening an address reports what xdg-open reports: a failure status is a failure; one still running
// after the bounded wait (a browser in the foreground) counts as opened.
TEST(XdgDesktopShell, OpenTargetReportsTheHandlersVerdictWithinItsBound)
{
    struct Case
    {
        const char* handler; // the body of the xdg-open found on PATH; nullptr: none there
        bool opened;
    };
    const Case cases[] = {
        {"exit 0", true},
        {"exit 3", false},
        {"exec /bin/sleep 6", true},
        {nullptr, false},
    };
    const std::string address = "http://127.0.0.1:8077/cp/history.html?u=a b&p=c";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.handler ? c.handler : "no handler");
        tern::test::TempFolder bin;
        if (c.handler) {
            bin.write("xdg-open",
                      "#!/bin/sh\nprintf '%s' \"$1\" >\"${0%/*}/asked\"\n" + std::string(c.handler) + "\n");
            ::chmod(bin.file("xdg-open").c_str(), 0755);
        }
        // Only the test's handler can be found; it names every other program by its full path.
        const tern::test::ScopedEnv path("PATH", bin.path());
        XdgDesktopShell shell;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(shell.openTarget(address), c.opened);
        EXPECT_LT(std::chrono::steady_clock::now() - start,
                  XdgDesktopShell::kOpenVerdictTime + std::chrono::seconds(1));
        if (c.handler) {
            EXPECT_EQ(tern::ReadFileBytes(bin.file("asked"), 4096), std::optional<std::string>(address));
        }
    }
}

} // namespace
