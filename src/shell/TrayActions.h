#pragma once

#include <array>
#include <cstdint>

namespace tern {

// The fifteen actions of the tray controller.
enum class ActionId : std::uint8_t {
    Copy,
    Paste,
    Web,
    ShareScr,
    ShareCurWin,
    ShareArea,
    LastLink,
    History,
    Login,
    Settings,
    Key,
    CheckUpd,
    About,
    Help,
    Exit
};

// Which of the two menus show an action.
enum MenuBit : std::uint8_t { kTrayMenu = 1, kHotkeyMenu = 2 };

// One action: its object name (the language files key on it: section "fInit", the name without its
// underscore), its designed caption with the "&" before its shortcut letter, its menu icon (-1 none),
// the menus that show it, and its group there (menus put a separator between groups).
struct TrayAction
{
    ActionId id;
    const char* objectName;
    const char* builtInCaption;
    int icon;
    std::uint8_t menus;
    int group;
};

// Every action, in menu order. Both menus are built from this table.
inline constexpr std::array<TrayAction, 15> kActionTable{{
    {ActionId::Copy, "_aCopy", "Remote &Copy", 1, kHotkeyMenu, 0},
    {ActionId::Paste, "_aPaste", "Remote &Paste", 2, kHotkeyMenu, 0},
    {ActionId::Web, "_aWeb", "&Share Clipboard", 3, kTrayMenu | kHotkeyMenu, 1},
    {ActionId::ShareScr, "_aShareScr", "Share Scr&een", 4, kTrayMenu | kHotkeyMenu, 1},
    {ActionId::ShareCurWin, "_aShareCurWin", "S&hare Current Window", 5, kHotkeyMenu, 1},
    {ActionId::ShareArea, "_aShareArea", "&Annotate && Share Area...", 6, kTrayMenu | kHotkeyMenu, 1},
    {ActionId::LastLink, "_aLastLink", "_aLastLink", -1, kTrayMenu | kHotkeyMenu, 2},
    {ActionId::History, "_aHistory", "_aHistory", -1, kTrayMenu | kHotkeyMenu, 2},
    {ActionId::Login, "_aLogin", "Login...", -1, kTrayMenu | kHotkeyMenu, 3},
    {ActionId::Settings, "_aSettings", "Settings...", -1, kTrayMenu | kHotkeyMenu, 3},
    {ActionId::Key, "_aKey", "End-to-End Key...", -1, kTrayMenu, 3},
    {ActionId::CheckUpd, "_aCheckUpd", "_aCheckUpd", -1, kTrayMenu | kHotkeyMenu, 4},
    {ActionId::About, "_aAbout", "About", -1, kTrayMenu | kHotkeyMenu, 4},
    {ActionId::Help, "_aHelp", "_aHelp", -1, 0, 5},
    {ActionId::Exit, "_aExit", "Exit", -1, kTrayMenu | kHotkeyMenu, 4},
}};

// The table is indexed by the id.
constexpr bool actionTableInIdOrder()
{
    for (std::size_t i = 0; i < kActionTable.size(); ++i) {
        if (static_cast<std::size_t>(kActionTable[i].id) != i)
            return false;
    }
    return true;
}
static_assert(actionTableInIdOrder(), "kActionTable must list the actions in the order of ActionId");

} // namespace tern
