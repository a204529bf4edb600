#pragma once

#include "platform/MessageBoxes.h"

#include <deque>
#include <string>
#include <vector>

namespace tern::platform::fake {

// Answers every message box at once with the next pre-set answer (Ok when none is left) and records
// what was shown.
class FakeMessageBoxes final : public MessageBoxes
{
public:
    struct Shown
    {
        std::string text;
        std::string caption;
        MessageIcon icon;
        MessageButtons buttons;
    };

    MessageAnswer show(const std::string& text, const std::string& caption, MessageIcon icon,
                       MessageButtons buttons) override
    {
        shown.push_back(Shown{text, caption, icon, buttons});
        if (answers.empty())
            return MessageAnswer::Ok;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::deque<MessageAnswer> answers;
    std::vector<Shown> shown;
};

} // namespace tern::platform::fake
