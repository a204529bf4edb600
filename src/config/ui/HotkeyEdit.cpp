#include "config/ui/HotkeyEdit.h"

#include "config/ui/VirtualKeyCodes.h"
#include "util/ShortcutText.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace tern {

namespace {

std::uint16_t flagsOf(Qt::KeyboardModifiers modifiers)
{
    std::uint16_t flags = 0;
    if (modifiers.testFlag(Qt::ShiftModifier))
        flags |= kShortcutShiftFlag;
    if (modifiers.testFlag(Qt::ControlModifier))
        flags |= kShortcutCtrlFlag;
    if (modifiers.testFlag(Qt::AltModifier))
        flags |= kShortcutAltFlag;
    return flags;
}

// "Shift+", "Ctrl+", "Alt+" for the flags that are set, in that order.
QString modifierPrefix(std::uint16_t flags)
{
    QString text;
    if ((flags & kShortcutShiftFlag) != 0)
        text += QStringLiteral("Shift+");
    if ((flags & kShortcutCtrlFlag) != 0)
        text += QStringLiteral("Ctrl+");
    if ((flags & kShortcutAltFlag) != 0)
        text += QStringLiteral("Alt+");
    return text;
}

Qt::KeyboardModifier modifierOfKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Shift:
        return Qt::ShiftModifier;
    case Qt::Key_Control:
        return Qt::ControlModifier;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        return Qt::AltModifier;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
        return Qt::MetaModifier;
    default:
        return Qt::NoModifier;
    }
}

bool isModifierKey(int qtKey)
{
    return modifierOfKey(qtKey) != Qt::NoModifier;
}

constexpr Qt::KeyboardModifiers kChordModifiers = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

} // namespace

THotkeyEdit::THotkeyEdit(QWidget* parent) : QLineEdit(parent)
{
    // The text is only ever set from the recorded value: no typing, pasting or input method.
    setReadOnly(true);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAcceptDrops(false);
    setFocusPolicy(Qt::StrongFocus);
}

void THotkeyEdit::setShortcut(std::uint16_t shortcut)
{
    m_shortcut = shortcut;
    setText(displayText(shortcut));
}

std::uint16_t THotkeyEdit::ShortcutForKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    const std::uint16_t code = VirtualKeyForQtKey(qtKey, modifiers.testFlag(Qt::KeypadModifier));
    if (code == 0 || (code & ~kShortcutKeyBits) != 0)
        return 0;
    const std::uint16_t flags = flagsOf(modifiers);
    if ((flags & (kShortcutCtrlFlag | kShortcutAltFlag)) == 0)
        return static_cast<std::uint16_t>(code | kShortcutAltFlag);
    return static_cast<std::uint16_t>(code | flags);
}

QString THotkeyEdit::displayText(std::uint16_t shortcut)
{
    const std::string text = ShortcutText(shortcut);
    if (!text.empty())
        return QString::fromStdString(text);
    const QKeyCombination key = QtKeyForVirtualKey(shortcut & kShortcutKeyBits);
    if (key.key() == Qt::Key_unknown)
        return {};
    return modifierPrefix(shortcut) + QKeySequence(key).toString(QKeySequence::NativeText);
}

bool THotkeyEdit::event(QEvent* event)
{
    // Every combination typed here is recorded: none may trigger a shortcut of the window (a
    // button's mnemonic, for one).
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void THotkeyEdit::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers chord = event->modifiers() & kChordModifiers;
    if (chord == Qt::NoModifier && (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        event->ignore(); // the dialog's Cancel and OK
        return;
    }
    event->accept();
    if (isModifierKey(key)) {
        showModifiers(event->modifiers() | modifierOfKey(key));
        return;
    }
    const std::uint16_t shortcut = ShortcutForKey(key, event->modifiers());
    if (shortcut == 0)
        return; // a key that cannot be a hotkey changes nothing
    const bool changed = shortcut != m_shortcut;
    setShortcut(shortcut);
    if (changed)
        emit shortcutChanged(shortcut);
}

void THotkeyEdit::keyReleaseEvent(QKeyEvent* event)
{
    event->accept();
    if (!isModifierKey(event->key()))
        return;
    const Qt::KeyboardModifiers held = event->modifiers() & ~modifierOfKey(event->key()) & kChordModifiers;
    if (held == Qt::NoModifier)
        setText(displayText(m_shortcut));
    else
        showModifiers(held);
}

void THotkeyEdit::focusOutEvent(QFocusEvent* event)
{
    setText(displayText(m_shortcut));
    QLineEdit::focusOutEvent(event);
}

void THotkeyEdit::showModifiers(Qt::KeyboardModifiers modifiers)
{
    setText(modifierPrefix(flagsOf(modifiers)));
}

} // namespace tern
