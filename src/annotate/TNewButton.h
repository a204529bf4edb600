#pragma once

#include <QPushButton>
#include <QString>

#include <functional>

namespace tern {

// A push button of the palette that draws one of the palette's icons centred on its face. Buttons
// of one group (the same Tag) mark the current choice by being disabled: a click on a button of a
// group enables the group's other buttons and disables itself, so the marked button shows pressed
// and cannot be clicked again. GUI thread only.
class TNewButton : public QPushButton
{
    Q_OBJECT

public:
    explicit TNewButton(QWidget* parent = nullptr);

    // Name of the palette icon drawn on the face; empty draws none.
    QString IconName;
    // The button's action, run after the marking.
    std::function<void(TNewButton*)> OnPress;
    // Whether a click marks this button in its group.
    bool GroupSelect = true;
    // Width and height of the drawn icon in pixels.
    int IconSize = 32;

    int Tag() const noexcept { return m_tag; }
    void setTag(int tag) noexcept { m_tag = tag; }

    // Marks the sender in its group among the parent's TNewButtons (when GroupSelect), then runs
    // OnPress. Errors of OnPress do not leave the click.
    void ButtonClick();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_tag = 0;
};

} // namespace tern
