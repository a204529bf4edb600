#pragma once

#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

namespace tern::tool {

// Exit codes of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// A command line that does not fit its command; reported with the command's usage.
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct CommandIo
{
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

// One top-level command ("config", "text", ...): its name, usage lines and what runs it with the
// arguments after its name. Errors are thrown: UsageError for a bad command line, tern::Error for a
// failure.
struct Command
{
    std::string name;
    std::string usage;
    std::function<int(const std::vector<std::string>&, CommandIo&)> run;
};

} // namespace tern::tool
