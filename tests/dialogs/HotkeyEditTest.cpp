#include "config/ui/HotkeyEdit.h"

#include "config/ui/VirtualKeyCodes.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <cstdint>

namespace tern {
namespace {

constexpr std::uint16_t kCtrlA = 0x4041;

// Sends a key press (and, with `release`, its release) as the keyboard would; returns whether the
// field took the press.
bool press(THotkeyEdit& field, int key, Qt::KeyboardModifiers modifiers, bool release = true)
{
    QKeyEvent down(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(&field, &down);
    if (release) {
        QKeyEvent up(QEvent::KeyRelease, key, modifiers);
        QCoreApplication::sendEvent(&field, &up);
    }
    return down.isAccepted();
}

TEST(HotkeyEdit, StoresTypedCombinationsAndGivesAltWhereNoOtherModifierThanShiftWasHeld)
{
    struct Case
    {
        const char* what;
        int key;
        Qt::KeyboardModifiers modifiers;
        std::uint16_t stored;
        const char* shown;
    };
    const Case cases[] = {
        {"letter alone", Qt::Key_Y, Qt::NoModifier, 0x8059, "Alt+Y"},
        {"Shift alone is replaced by Alt", Qt::Key_Y, Qt::ShiftModifier, 0x8059, "Alt+Y"},
        {"Ctrl+Shift", Qt::Key_Y, Qt::ControlModifier | Qt::ShiftModifier, 0x6059, "Shift+Ctrl+Y"},
        {"Ctrl", Qt::Key_Y, Qt::ControlModifier, 0x4059, "Ctrl+Y"},
        {"Alt+Shift keeps Shift", Qt::Key_Y, Qt::AltModifier | Qt::ShiftModifier, 0xA059, "Shift+Alt+Y"},
        {"all three", Qt::Key_Y, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier, 0xE059,
         "Shift+Ctrl+Alt+Y"},
        {"function key alone", Qt::Key_F5, Qt::NoModifier, 0x8074, "Alt+F5"},
        {"shifted digit symbol is the digit key", Qt::Key_Exclam, Qt::ControlModifier | Qt::ShiftModifier,
         0x6031, "Shift+Ctrl+1"},
        {"plus on the main keyboard is Shift and the = key", Qt::Key_Plus,
         Qt::ControlModifier | Qt::ShiftModifier, 0x60BB, "Shift+Ctrl+="},
        {"plus on the number pad", Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier, 0x406B,
         "Ctrl+Num +"},
        {"digit on the number pad", Qt::Key_3, Qt::AltModifier | Qt::KeypadModifier, 0x8063, "Alt+Num 3"},
        {"navigation key", Qt::Key_PageDown, Qt::ControlModifier | Qt::AltModifier, 0xC022, "Ctrl+Alt+PgDn"},
        {"punctuation key", Qt::Key_BraceLeft, Qt::ControlModifier | Qt::ShiftModifier, 0x60DB,
         "Shift+Ctrl+["},
        {"Esc with a modifier is a combination", Qt::Key_Escape, Qt::ControlModifier, 0x401B, "Ctrl+Esc"},
        {"Enter with Shift gets Alt", Qt::Key_Return, Qt::ShiftModifier, 0x800D, "Alt+Enter"},
    };
    for (const Case& c : cases) {
        THotkeyEdit field;
        field.setShortcut(kCtrlA);
        EXPECT_TRUE(press(field, c.key, c.modifiers)) << c.what;
        EXPECT_EQ(field.shortcut(), c.stored) << c.what;
        EXPECT_EQ(field.text().toStdString(), c.shown) << c.what;
    }
}

TEST(HotkeyEdit, KeysThatAreNoCombinationLeaveTheValueAndPassDialogKeysOn)
{
    THotkeyEdit field;
    field.setShortcut(kCtrlA);
    ASSERT_EQ(field.text().toStdString(), "Ctrl+A");

    // Modifiers alone show what is held and fall back to the value once released.
    EXPECT_TRUE(press(field, Qt::Key_Control, Qt::ControlModifier, false));
    EXPECT_TRUE(press(field, Qt::Key_Shift, Qt::ControlModifier | Qt::ShiftModifier, false));
    EXPECT_EQ(field.text().toStdString(), "Shift+Ctrl+");
    QKeyEvent shiftUp(QEvent::KeyRelease, Qt::Key_Shift, Qt::ControlModifier | Qt::ShiftModifier);
    QCoreApplication::sendEvent(&field, &shiftUp);
    EXPECT_EQ(field.text().toStdString(), "Ctrl+");
    QKeyEvent ctrlUp(QEvent::KeyRelease, Qt::Key_Control, Qt::ControlModifier);
    QCoreApplication::sendEvent(&field, &ctrlUp);
    EXPECT_EQ(field.text().toStdString(), "Ctrl+A");

    // Esc and Enter alone belong to the dialog; a key without a code is ignored.
    EXPECT_FALSE(press(field, Qt::Key_Escape, Qt::NoModifier));
    EXPECT_FALSE(press(field, Qt::Key_Return, Qt::NoModifier));
    EXPECT_FALSE(press(field, Qt::Key_Enter, Qt::KeypadModifier));
    press(field, Qt::Key_unknown, Qt::ControlModifier);
    press(field, Qt::Key_VolumeUp, Qt::ControlModifier);
    EXPECT_EQ(field.shortcut(), kCtrlA);
    EXPECT_EQ(field.text().toStdString(), "Ctrl+A");
}

TEST(HotkeyEdit, ShowsStoredValuesAsTheyAre)
{
    THotkeyEdit field;
    field.setShortcut(0x0059); // stored by hand without a modifier: shown, not corrected
    EXPECT_EQ(field.text().toStdString(), "Y");
    EXPECT_EQ(field.shortcut(), 0x0059);
    field.setShortcut(0);
    EXPECT_EQ(field.text().toStdString(), "");
    // A key that has a code but no name in the shortcut texts still reads as something.
    EXPECT_FALSE(THotkeyEdit::displayText(0x405D).isEmpty());
}

TEST(VirtualKeyCodes, EveryCodeTurnsBackIntoAKeyThatGivesTheSameCode)
{
    int mapped = 0;
    for (std::uint16_t code = 1; code < 0x100; ++code) {
        const QKeyCombination key = QtKeyForVirtualKey(code);
        if (key.key() == Qt::Key_unknown)
            continue;
        ++mapped;
        EXPECT_EQ(VirtualKeyForQtKey(key.key(), key.keyboardModifiers().testFlag(Qt::KeypadModifier)), code)
            << std::hex << code;
    }
    // Letters, digits, number pad, 24 function keys, navigation and punctuation.
    EXPECT_GE(mapped, 26 + 10 + 10 + 24 + 20 + 11);
}

} // namespace
} // namespace tern
