#pragma once

#include <string>

namespace tern::platform {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// Modal message boxes without an owner window. GUI thread only; show() returns when the user has
// answered. Tests replace it with one that answers at once.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer show(const std::string& text, const std::string& caption, MessageIcon icon,
                               MessageButtons buttons) = 0;
};

} // namespace tern::platform
