#include "TextCommand.h"

#include <ostream>

namespace tern::tool {

Command MakeTextCommand(ToolContext& context)
{
    return {"text", "text SECTION KEY            print an interface text of the current language",
            [&context](const std::vector<std::string>& args, CommandIo& io) {
                if (args.size() != 2)
                    throw UsageError("expected SECTION KEY");
                io.out << context.texts().GetText(args[0], args[1]) << '\n';
                return kExitOk;
            }};
}

} // namespace tern::tool
