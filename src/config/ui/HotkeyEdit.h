#pragma once

#include <QLineEdit>

#include <cstdint>

namespace tern {

// A field that records a key combination as the 16-bit shortcut value of the settings
// (virtual-key code in bits 0 to 12, 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt) and shows it as
// "Shift+Ctrl+Y". A global hotkey needs a modifier other than Shift: a key typed with no modifier
// or with Shift alone is stored with Alt instead.
//
// Tab, Esc and Enter typed without a modifier keep their usual meaning in a dialog (focus, Cancel,
// OK); every other key combination is recorded. GUI thread only.
class THotkeyEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit THotkeyEdit(QWidget* parent = nullptr);

    std::uint16_t shortcut() const noexcept { return m_shortcut; }
    // Shows `shortcut` as it is, also a combination that typing would not give.
    void setShortcut(std::uint16_t shortcut);

    // The value a key typed with `modifiers` is stored as (0 for a key without a code), with the
    // rule for missing modifiers applied.
    static std::uint16_t ShortcutForKey(int qtKey, Qt::KeyboardModifiers modifiers);
    // How a shortcut value reads in the field.
    static QString displayText(std::uint16_t shortcut);

signals:
    void shortcutChanged(std::uint16_t shortcut);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showModifiers(Qt::KeyboardModifiers modifiers);

    std::uint16_t m_shortcut = 0;
};

} // namespace tern
