#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

#include "platform/posix/FileLockSingleInstance.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

using tern::platform::x11::FileLockSingleInstance;

using tern::test::ScopedEnv;

namespace {

constexpr const char* kName = "TernClipboard_started_already";

// Exit status of a child process that tries to take the marker and ends without letting it go:
// 0 taken, 1 refused.
int AcquireInChild()
{
    const pid_t child = ::fork();
    if (child == 0) {
        auto* marker = new FileLockSingleInstance;
        ::_exit(marker->acquire(kName) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(FileLockSingleInstance, OnlyOneHolderUntilItGoes)
{
    tern::test::TempFolder runtime;
    ScopedEnv env("XDG_RUNTIME_DIR", runtime.path());
    EXPECT_EQ(FileLockSingleInstance::lockPath(kName), runtime.file(std::string(kName) + ".lock"));

    auto first = std::make_unique<FileLockSingleInstance>();
    ASSERT_TRUE(first->acquire(kName));
    EXPECT_TRUE(first->acquire(kName)); // the holder asking again
    FileLockSingleInstance second;
    EXPECT_FALSE(second.acquire(kName));
    EXPECT_EQ(AcquireInChild(), 1);

    // Another name is another marker.
    FileLockSingleInstance other;
    EXPECT_TRUE(other.acquire("another"));

    first.reset();
    EXPECT_TRUE(second.acquire(kName));
    EXPECT_EQ(AcquireInChild(), 1);
}

TEST(FileLockSingleInstance, HolderThatEndsReleasesTheMarker)
{
    tern::test::TempFolder runtime;
    ScopedEnv env("XDG_RUNTIME_DIR", runtime.path());
    EXPECT_EQ(AcquireInChild(), 0);
    FileLockSingleInstance marker;
    EXPECT_TRUE(marker.acquire(kName));
}

TEST(FileLockSingleInstance, FallsBackToTheDataFolderAndKeepsNamesInsideIt)
{
    tern::test::TempFolder data;
    ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    ScopedEnv dataHome("XDG_DATA_HOME", data.path());
    EXPECT_EQ(FileLockSingleInstance::lockPath(kName),
              data.file("Tern Clipboard/" + std::string(kName) + ".lock"));
    EXPECT_EQ(FileLockSingleInstance::lockPath("../x/y"), data.file("Tern Clipboard/_._x_y.lock"));

    FileLockSingleInstance first;
    FileLockSingleInstance second;
    EXPECT_TRUE(first.acquire(kName));
    EXPECT_FALSE(second.acquire(kName));
}

} // namespace
