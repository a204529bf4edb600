#include "platform/x11/VirtualKeyMap.h"

#include <xcb/xproto.h>

// keysym.h only defines XK_ constants; it does not bring in the Xlib types.
#include <X11/keysym.h>

#include <array>
#include <utility>

namespace tern::platform::x11 {

namespace {

// Virtual keys that are neither letters, digits, function keys nor the number pad.
constexpr std::array<std::pair<std::uint16_t, std::uint32_t>, 40> kNamedKeys{{
    {0x08, XK_BackSpace},   {0x09, XK_Tab},        {0x0C, XK_Clear},        {0x0D, XK_Return},
    {0x10, XK_Shift_L},     {0x11, XK_Control_L},  {0x12, XK_Alt_L},        {0x13, XK_Pause},
    {0x14, XK_Caps_Lock},   {0x1B, XK_Escape},     {0x20, XK_space},        {0x21, XK_Prior},
    {0x22, XK_Next},        {0x23, XK_End},        {0x24, XK_Home},         {0x25, XK_Left},
    {0x26, XK_Up},          {0x27, XK_Right},      {0x28, XK_Down},         {0x2C, XK_Print},
    {0x2D, XK_Insert},      {0x2E, XK_Delete},     {0x6A, XK_KP_Multiply},  {0x6B, XK_KP_Add},
    {0x6D, XK_KP_Subtract}, {0x6E, XK_KP_Decimal}, {0x6F, XK_KP_Divide},    {0x90, XK_Num_Lock},
    {0x91, XK_Scroll_Lock}, {0xBA, XK_semicolon},  {0xBB, XK_equal},        {0xBC, XK_comma},
    {0xBD, XK_minus},       {0xBE, XK_period},     {0xBF, XK_slash},        {0xC0, XK_grave},
    {0xDB, XK_bracketleft}, {0xDC, XK_backslash},  {0xDD, XK_bracketright}, {0xDE, XK_apostrophe},
}};

} // namespace

std::uint32_t KeysymForVirtualKey(std::uint16_t virtualKey)
{
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return XK_a + (virtualKey - 'A');
    if (virtualKey >= '0' && virtualKey <= '9')
        return XK_0 + (virtualKey - '0');
    if (virtualKey >= 0x60 && virtualKey <= 0x69)
        return XK_KP_0 + (virtualKey - 0x60);
    if (virtualKey >= 0x70 && virtualKey <= 0x87)
        return XK_F1 + (virtualKey - 0x70);
    for (const auto& [key, keysym] : kNamedKeys)
        if (key == virtualKey)
            return keysym;
    return 0;
}

std::uint16_t ModifierMaskForShortcut(std::uint16_t shortcut)
{
    std::uint16_t mask = 0;
    if ((shortcut & kShortcutShiftFlag) != 0)
        mask |= XCB_MOD_MASK_SHIFT;
    if ((shortcut & kShortcutCtrlFlag) != 0)
        mask |= XCB_MOD_MASK_CONTROL;
    if ((shortcut & kShortcutAltFlag) != 0)
        mask |= XCB_MOD_MASK_1;
    return mask;
}

} // namespace tern::platform::x11
