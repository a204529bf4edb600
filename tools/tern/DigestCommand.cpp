#include "DigestCommand.h"

#include "PayloadOptions.h"
#include "service/PasswordDigest.h"

#include <ostream>

namespace tern::tool {

Command MakeDigestCommand(ToolContext&)
{
    return {"digest", "digest                      read a password from stdin, print its password value",
            [](const std::vector<std::string>& args, CommandIo& io) {
                if (!args.empty())
                    throw UsageError("expected no arguments");
                std::string password = ReadAllBytes(io.in);
                // One line feed, as typed at a terminal or written by echo, is not part of it.
                if (!password.empty() && password.back() == '\n')
                    password.pop_back();
                io.out << PasswordDigest(password) << '\n';
                return kExitOk;
            }};
}

} // namespace tern::tool
