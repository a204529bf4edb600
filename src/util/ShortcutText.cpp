#include "util/ShortcutText.h"

#include <array>
#include <utility>

namespace tern {

namespace {

// Keys that are neither letters, digits, function keys nor the number pad's digits. The punctuation
// keys are named by their unshifted character on a US layout.
constexpr std::array<std::pair<std::uint16_t, const char*>, 37> kNamedKeys{{
    {0x08, "Backspace"},  {0x09, "Tab"},         {0x0C, "Clear"},  {0x0D, "Enter"},  {0x13, "Pause"},
    {0x14, "CapsLock"},   {0x1B, "Esc"},         {0x20, "Space"},  {0x21, "PgUp"},   {0x22, "PgDn"},
    {0x23, "End"},        {0x24, "Home"},        {0x25, "Left"},   {0x26, "Up"},     {0x27, "Right"},
    {0x28, "Down"},       {0x2C, "PrintScreen"}, {0x2D, "Insert"}, {0x2E, "Delete"}, {0x6A, "Num *"},
    {0x6B, "Num +"},      {0x6D, "Num -"},       {0x6E, "Num ."},  {0x6F, "Num /"},  {0x90, "NumLock"},
    {0x91, "ScrollLock"}, {0xBA, ";"},           {0xBB, "="},      {0xBC, ","},      {0xBD, "-"},
    {0xBE, "."},          {0xBF, "/"},           {0xC0, "`"},      {0xDB, "["},      {0xDC, "\\"},
    {0xDD, "]"},          {0xDE, "'"},
}};

} // namespace

std::string VirtualKeyName(std::uint16_t virtualKey)
{
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9'))
        return std::string(1, static_cast<char>(virtualKey));
    if (virtualKey >= 0x60 && virtualKey <= 0x69)
        return "Num " + std::to_string(virtualKey - 0x60);
    if (virtualKey >= 0x70 && virtualKey <= 0x87)
        return "F" + std::to_string(virtualKey - 0x70 + 1);
    for (const auto& [key, name] : kNamedKeys) {
        if (key == virtualKey)
            return name;
    }
    return {};
}

std::string ShortcutText(std::uint16_t shortcut)
{
    const std::string keyName = VirtualKeyName(shortcut & kShortcutKeyBits);
    if (keyName.empty())
        return {};
    std::string text;
    if ((shortcut & kShortcutShiftFlag) != 0)
        text += "Shift+";
    if ((shortcut & kShortcutCtrlFlag) != 0)
        text += "Ctrl+";
    if ((shortcut & kShortcutAltFlag) != 0)
        text += "Alt+";
    return text + keyName;
}

} // namespace tern
