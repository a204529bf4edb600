#include "PayloadOptions.h"

#include "util/Errors.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <istream>
#include <iterator>
#include <sstream>

namespace tern::tool {

std::optional<std::string> TakeOption(std::vector<std::string>& args, const std::string& name)
{
    const std::string flag = "--" + name;
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (*it == flag) {
            if (it + 1 == args.end())
                throw UsageError(flag + " needs a value");
            std::string value = *(it + 1);
            args.erase(it, it + 2);
            return value;
        }
        if (it->rfind(flag + "=", 0) == 0) {
            std::string value = it->substr(flag.size() + 1);
            args.erase(it);
            return value;
        }
    }
    return std::nullopt;
}

std::optional<std::string> TakePasswordValue(std::vector<std::string>& args)
{
    return TakeOption(args, "password-value");
}

std::string PasswordValue(const std::optional<std::string>& given, ToolContext& context)
{
    return given ? *given : context.store(true).Password;
}

std::string ReadAllBytes(std::istream& in)
{
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return std::move(bytes).str();
}

std::string ReadFileOrInput(const std::string& path, std::istream& in)
{
    if (path == "-")
        return ReadAllBytes(in);
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw FileError("Cannot open file \"" + path + "\": " + std::strerror(errno));
    std::string bytes = ReadAllBytes(file);
    if (file.bad())
        throw FileError("Cannot read file \"" + path + "\"");
    return bytes;
}

} // namespace tern::tool
