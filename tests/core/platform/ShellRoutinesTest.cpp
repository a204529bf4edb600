#include "platform/ShellRoutines.h"

#include "platform/fake/FakeDesktopShell.h"
#include "platform/fake/FakeMessageBoxes.h"
#include "support/NativePath.h"
#include "support/TempFolder.h"
#include "util/Errors.h"
#include "util/FileRoutines.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

using platform::SpecialFolder;

TEST(ShellRoutines, AppDataPathFallsBackToTheProgramFolderWithoutTheName)
{
    platform::fake::FakeDesktopShell shell;
    shell.program = test::NativePath("/opt/tern/tern-clipboard");
    EXPECT_EQ(AppDataPath(shell, "Tern Clipboard/"), test::NativePath("/opt/tern/AppData/"));
    shell.folders[SpecialFolder::ApplicationData] = test::NativePath("/home/ann/.local/share");
    EXPECT_EQ(AppDataPath(shell, "Tern Clipboard/"),
              test::NativePath("/home/ann/.local/share/") + "Tern Clipboard/");
}

TEST(ShellRoutines, StartupEntryIsCreatedAndRemovedInTheStartupFolder)
{
    test::TempFolder folder;
    platform::fake::FakeDesktopShell shell;
    EXPECT_THROW(StartupFolder(shell), Error);

    shell.folders[SpecialFolder::Startup] = folder.file("autostart");
    EXPECT_FALSE(StartupShortcutExists(shell, "Tern Clipboard"));
    const std::string program = test::NativePath("/opt/tern/tern-clipboard");
    SetStartupShortcut(shell, program, "Tern Clipboard", true);
    EXPECT_TRUE(StartupShortcutExists(shell, "Tern Clipboard"));
    EXPECT_EQ(ReadFileBytes(folder.file("autostart/" + test::StartupEntryFile("Tern Clipboard")), 1000),
              program + "\n" + test::NativePath("/opt/tern/\n"));
    SetStartupShortcut(shell, program, "Tern Clipboard", false);
    EXPECT_FALSE(StartupShortcutExists(shell, "Tern Clipboard"));
}

TEST(ShellRoutines, OpenTargetTextQuotesOnlyLocalPaths)
{
    EXPECT_EQ(OpenTargetText("https://example.org/a b"), "https://example.org/a b");
    EXPECT_EQ(OpenTargetText("http://example.org"), "http://example.org");
    EXPECT_EQ(OpenTargetText("mailto:ann@example.org"), "mailto:ann@example.org");
    EXPECT_EQ(OpenTargetText("/home/ann/notes.txt"), "/home/ann/notes.txt");
    EXPECT_EQ(OpenTargetText("webcal1://calendar"), "\"webcal1://calendar\"");
}

TEST(ShellRoutines, OpenTargetOpensWebAddressesAndReportsEverythingElse)
{
    platform::fake::FakeDesktopShell shell;
    platform::fake::FakeMessageBoxes boxes;
    OpenTarget(shell, &boxes, "HTTPS://example.org/d/abc.html", true);
    OpenTarget(shell, &boxes, "http://127.0.0.1:8077/cp/history.html", true);
    EXPECT_EQ(shell.openedTargets, (std::vector<std::string>{"HTTPS://example.org/d/abc.html",
                                                             "http://127.0.0.1:8077/cp/history.html"}));
    EXPECT_TRUE(boxes.shown.empty());

    OpenTarget(shell, &boxes, "file:///etc/passwd", true);
    OpenTarget(shell, &boxes, "mailto:ann@example.org", true);
    OpenTarget(shell, &boxes, "/bin/sh", false);
    EXPECT_EQ(shell.openedTargets.size(), 2u);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "Unable to open target: \"file:///etc/passwd\"");
    EXPECT_EQ(boxes.shown[0].caption, "Error");
    EXPECT_EQ(boxes.shown[0].icon, platform::MessageIcon::Error);

    shell.openSucceeds = false;
    OpenTarget(shell, &boxes, "http://example.org", true);
    EXPECT_EQ(boxes.shown.back().text, "Unable to open target: \"http://example.org\"");
    // The history address carries the password value in its query, which is never shown.
    OpenTarget(shell, &boxes, "http://svc/cp/history.html?u=a@b.c&p=0123456789abcdef0123456789abcdef", true);
    EXPECT_EQ(boxes.shown.back().text, "Unable to open target: \"http://svc/cp/history.html\"");
}

} // namespace
} // namespace tern
