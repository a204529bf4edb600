#include "config/ui/VirtualKeyCodes.h"

namespace tern {

namespace {

constexpr std::uint16_t kVkNumpad0 = 0x60;
constexpr std::uint16_t kVkF1 = 0x70;
constexpr int kFunctionKeys = 24;

struct NamedKey
{
    int qtKey;
    std::uint16_t code;
};

// Keys that are the same wherever they sit. Where two Qt keys share a code, the first one is the
// key of that code.
constexpr NamedKey kNamedKeys[] = {
    {Qt::Key_Backspace, 0x08},  {Qt::Key_Tab, 0x09},   {Qt::Key_Backtab, 0x09}, {Qt::Key_Clear, 0x0C},
    {Qt::Key_Return, 0x0D},     {Qt::Key_Enter, 0x0D}, {Qt::Key_Pause, 0x13},   {Qt::Key_CapsLock, 0x14},
    {Qt::Key_Escape, 0x1B},     {Qt::Key_Space, 0x20}, {Qt::Key_PageUp, 0x21},  {Qt::Key_PageDown, 0x22},
    {Qt::Key_End, 0x23},        {Qt::Key_Home, 0x24},  {Qt::Key_Left, 0x25},    {Qt::Key_Up, 0x26},
    {Qt::Key_Right, 0x27},      {Qt::Key_Down, 0x28},  {Qt::Key_Print, 0x2C},   {Qt::Key_Insert, 0x2D},
    {Qt::Key_Delete, 0x2E},     {Qt::Key_Help, 0x2F},  {Qt::Key_Menu, 0x5D},    {Qt::Key_NumLock, 0x90},
    {Qt::Key_ScrollLock, 0x91},
};

// The punctuation keys of a US layout: the symbol typed without and with Shift.
struct OemKey
{
    std::uint16_t code;
    int unshifted;
    int shifted;
};

constexpr OemKey kOemKeys[] = {
    {0xBA, Qt::Key_Semicolon, Qt::Key_Colon},      {0xBB, Qt::Key_Equal, Qt::Key_Plus},
    {0xBC, Qt::Key_Comma, Qt::Key_Less},           {0xBD, Qt::Key_Minus, Qt::Key_Underscore},
    {0xBE, Qt::Key_Period, Qt::Key_Greater},       {0xBF, Qt::Key_Slash, Qt::Key_Question},
    {0xC0, Qt::Key_QuoteLeft, Qt::Key_AsciiTilde}, {0xDB, Qt::Key_BracketLeft, Qt::Key_BraceLeft},
    {0xDC, Qt::Key_Backslash, Qt::Key_Bar},        {0xDD, Qt::Key_BracketRight, Qt::Key_BraceRight},
    {0xDE, Qt::Key_Apostrophe, Qt::Key_QuoteDbl},
};

// The operator keys of the number pad.
constexpr NamedKey kPadKeys[] = {
    {Qt::Key_Asterisk, 0x6A}, {Qt::Key_Plus, 0x6B},  {Qt::Key_Minus, 0x6D},
    {Qt::Key_Period, 0x6E},   {Qt::Key_Slash, 0x6F}, {Qt::Key_Comma, 0x6E}, // decimal comma layouts
};

// The symbols of the shifted digit keys of a US layout, indexed by digit.
constexpr int kShiftedDigits[] = {
    Qt::Key_ParenRight, Qt::Key_Exclam,      Qt::Key_At,        Qt::Key_NumberSign, Qt::Key_Dollar,
    Qt::Key_Percent,    Qt::Key_AsciiCircum, Qt::Key_Ampersand, Qt::Key_Asterisk,   Qt::Key_ParenLeft};

QKeyCombination plain(int qtKey)
{
    return QKeyCombination(static_cast<Qt::Key>(qtKey));
}

} // namespace

std::uint16_t VirtualKeyForQtKey(int qtKey, bool keypad)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<std::uint16_t>(qtKey);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return static_cast<std::uint16_t>(keypad ? kVkNumpad0 + (qtKey - Qt::Key_0) : qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey < Qt::Key_F1 + kFunctionKeys)
        return static_cast<std::uint16_t>(kVkF1 + (qtKey - Qt::Key_F1));
    if (keypad)
        for (const NamedKey& pad : kPadKeys)
            if (pad.qtKey == qtKey)
                return pad.code;
    for (int digit = 0; digit < 10; ++digit)
        if (kShiftedDigits[digit] == qtKey)
            return static_cast<std::uint16_t>('0' + digit);
    for (const OemKey& oem : kOemKeys)
        if (oem.unshifted == qtKey || oem.shifted == qtKey)
            return oem.code;
    for (const NamedKey& named : kNamedKeys)
        if (named.qtKey == qtKey)
            return named.code;
    return 0;
}

QKeyCombination QtKeyForVirtualKey(std::uint16_t virtualKey)
{
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9'))
        return plain(virtualKey);
    if (virtualKey >= kVkNumpad0 && virtualKey < kVkNumpad0 + 10)
        return QKeyCombination(Qt::KeypadModifier,
                               static_cast<Qt::Key>(Qt::Key_0 + (virtualKey - kVkNumpad0)));
    if (virtualKey >= kVkF1 && virtualKey < kVkF1 + kFunctionKeys)
        return plain(Qt::Key_F1 + (virtualKey - kVkF1));
    for (const NamedKey& pad : kPadKeys)
        if (pad.code == virtualKey)
            return QKeyCombination(Qt::KeypadModifier, static_cast<Qt::Key>(pad.qtKey));
    for (const OemKey& oem : kOemKeys)
        if (oem.code == virtualKey)
            return plain(oem.unshifted);
    for (const NamedKey& named : kNamedKeys)
        if (named.code == virtualKey)
            return plain(named.qtKey);
    return plain(Qt::Key_unknown);
}

} // namespace tern
