#pragma once

#include "Command.h"
#include "ToolContext.h"

namespace tern::tool {

// "register EMAIL", "login EMAIL" (the password on standard input): on success the e-mail and the
// password value are stored as the account dialog stores them.
Command MakeRegisterCommand(ToolContext& context);
Command MakeLoginCommand(ToolContext& context);
// "history-url": the address of the account's history page.
Command MakeHistoryUrlCommand(ToolContext& context);

} // namespace tern::tool
