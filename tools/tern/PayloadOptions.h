#pragma once

#include "Command.h"
#include "ToolContext.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tern::tool {

// Removes "--password-value V" (or "--password-value=V") from `args`; returns V when given.
std::optional<std::string> TakePasswordValue(std::vector<std::string>& args);
// Removes "--NAME V" (or "--NAME=V") from `args`; returns V when given.
std::optional<std::string> TakeOption(std::vector<std::string>& args, const std::string& name);

// The password value given on the command line, else the stored one.
std::string PasswordValue(const std::optional<std::string>& given, ToolContext& context);

// Every byte of `in`.
std::string ReadAllBytes(std::istream& in);
// Every byte of the file `path`, or of `in` for "-". Throws tern::FileError.
std::string ReadFileOrInput(const std::string& path, std::istream& in);

} // namespace tern::tool
