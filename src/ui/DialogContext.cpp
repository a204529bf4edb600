#include "ui/DialogContext.h"

#include "util/ProductName.h"

#include <exception>

namespace tern {

void RunReportingErrors(DialogContext& context, const std::function<void()>& action)
{
    if (!action)
        return;
    std::string message;
    try {
        action();
        return;
    } catch (const std::exception& error) {
        message = error.what();
    } catch (...) {
        message = "Unknown error";
    }
    context.messageBoxes().show(message, kProductName, platform::MessageIcon::Error,
                                platform::MessageButtons::Ok);
}

} // namespace tern
