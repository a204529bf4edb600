#pragma once

#include "platform/fake/FakeClipboard.h"
#include "platform/fake/FakeDesktopShell.h"
#include "platform/fake/FakeGlobalHotkeys.h"
#include "platform/fake/FakeKeyInjector.h"
#include "platform/fake/FakeMessageBoxes.h"
#include "platform/fake/FakeScreenCapture.h"
#include "platform/fake/FakeSystemTray.h"
#include "platform/fake/FakeTrayIconClicks.h"
#include "platform/fake/FakeWindowFocus.h"
#include "platform/fake/MemorySettings.h"
#include "shell/ProgramFolders.h"
#include "shell/ShellServices.h"
#include "support/TempFolder.h"

#include <string>

namespace tern::test {

// The fake platform services that a TLoader or the tray controller runs over, handed out together as
// `services`. Test harnesses derive from it, so that a test reaches the fakes as harness.clipboard.
// Neither copyable nor movable: `services` refers to the members.
struct FakeShellServices
{
    FakeShellServices();
    FakeShellServices(const FakeShellServices&) = delete;
    FakeShellServices& operator=(const FakeShellServices&) = delete;

    // Lays out a program installed under `root`: the program folder root/`programSubfolder` (empty, or
    // ending in '/') whose Languages folder is created with a copy of the shipped english.lng, and the
    // data folder root/data/Tern Clipboard/ (not created), and no per-user languages folder. Points the fake
    // shell's program file and its autostart (root/autostart) and application data (root/data) folders there.
    // Throws when the copy fails.
    ProgramFolders installUnder(const TempFolder& root, const std::string& programSubfolder);

    platform::fake::FakeDesktopShell shell;
    platform::fake::MemorySettings settings;
    platform::fake::FakeClipboard clipboard;
    platform::fake::FakeGlobalHotkeys hotkeys;
    platform::fake::FakeKeyInjector keys;
    platform::fake::FakeWindowFocus focus;
    platform::fake::FakeMessageBoxes messageBoxes;
    platform::fake::FakeScreenCapture screen;
    platform::fake::FakeTrayIconClicks trayClicks;
    platform::fake::FakeSystemTray tray;
    ShellServices services;
};

} // namespace tern::test
