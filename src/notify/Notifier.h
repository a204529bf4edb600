#pragma once

#include "notify/BalloonKind.h"

#include <functional>
#include <string>
#include <vector>

namespace tern {

// A button of a notice: its caption and what a click does (the notice stays shown).
struct NoticeButton
{
    std::string caption;
    std::function<void()> click;
};

// How the program tells the user a result: one notice at a time near the tray icon, with the
// product's title, an icon kind, a display time and up to two buttons. GUI thread only.
class Notifier
{
public:
    virtual ~Notifier() = default;

    // Replaces whatever notice shows by `text` for `seconds`. The first button is the right-hand one.
    // A non-empty `timeLeftFormat` ("%s seconds left.") adds a line that counts the seconds down.
    virtual void notify(const std::string& text, int seconds, BalloonKind kind,
                        std::vector<NoticeButton> buttons = {}, const std::string& timeLeftFormat = {}) = 0;
    // Hides the notice and forgets its buttons.
    virtual void hideNotice() = 0;
};

} // namespace tern
