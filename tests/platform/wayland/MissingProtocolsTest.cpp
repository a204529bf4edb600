// What the program says at start on a compositor that lacks what its Wayland services use.
#include "platform/wayland/SessionKeyBindings.h"
#include "platform/wayland/WaylandPlatform.h"

#include <gtest/gtest.h>

#include <string>

namespace tern::platform::wayland {
namespace {

TEST(MissingProtocolsTest, NamesWhatDoesNotWorkAndWhatToDo)
{
    EXPECT_EQ(DescribeMissingProtocols(true, true, true), "");
    struct Case
    {
        bool clipboard, keyboard, screen;
        std::vector<std::string> named, unnamed;
    };
    const Case cases[] = {
        {false, false, false, {"clipboard", "Ctrl+C", "screen pictures"}, {}},
        {false, true, true, {"clipboard"}, {"Ctrl+C", "screen pictures"}},
        {true, false, true, {"Ctrl+C"}, {"clipboard", "screen pictures"}},
        {true, true, false, {"Share Screen"}, {"clipboard", "Ctrl+C"}},
    };
    for (const Case& c : cases) {
        const std::string said = DescribeMissingProtocols(c.clipboard, c.keyboard, c.screen);
        for (const std::string& name : c.named)
            EXPECT_NE(said.find(name), std::string::npos) << said;
        for (const std::string& name : c.unnamed)
            EXPECT_EQ(said.find(name), std::string::npos) << said;
        EXPECT_NE(said.find("QT_QPA_PLATFORM=xcb"), std::string::npos) << said;
        EXPECT_EQ(said.back(), '.') << said;
    }

    // No hotkey is ever registered, and the reason names the command to bind instead.
    SessionKeyBindings hotkeys;
    EXPECT_FALSE(hotkeys.registerHotkey(1, 0x6059));
    EXPECT_NE(hotkeys.unavailableReason().find("tern-clipboard --menu"), std::string::npos);
}

} // namespace
} // namespace tern::platform::wayland
