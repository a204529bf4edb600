#include "platform/posix/KeyFileText.h"

namespace tern::platform::x11 {

std::string EscapeKeyFileValue(const std::string& value)
{
    std::string result;
    for (const char c : value) {
        if (c == '\\')
            result += "\\\\";
        else if (c == '\n')
            result += "\\n";
        else if (c == '\r')
            result += "\\r";
        else
            result += c;
    }
    return result;
}

std::string UnescapeKeyFileValue(const std::string& value)
{
    std::string result;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            result += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            result += value[i];
        }
    }
    return result;
}

} // namespace tern::platform::x11
