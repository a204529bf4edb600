#pragma once

#include "platform/MessageBoxes.h"

namespace tern::ui {

// Message boxes shown with QMessageBox: no owner window, the given caption, icon and buttons; the text
// is shown as plain text, whatever markup it holds.
class QtMessageBoxes final : public platform::MessageBoxes
{
public:
    platform::MessageAnswer show(const std::string& text, const std::string& caption,
                                 platform::MessageIcon icon, platform::MessageButtons buttons) override;
};

} // namespace tern::ui
