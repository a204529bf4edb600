#include "clipboard/FormatNameTable.h"

#include "clipboard/MimeFormatTable.h"
#include "service/ByteOrder.h"
#include "util/Errors.h"

#include <algorithm>

namespace tern {

namespace {

void appendLe32(std::string& out, std::uint32_t value)
{
    char bytes[4];
    PutLe32(bytes, value);
    out.append(bytes, 4);
}

std::uint32_t takeLe32(std::string_view data, std::size_t& position)
{
    if (data.size() - position < 4)
        throw StreamReadError("Stream read error: format name table cut short");
    const std::uint32_t value = GetLe32(data.data() + position);
    position += 4;
    return value;
}

bool fitsVersion(std::string_view name, std::uint32_t version)
{
    if (name.empty() || name.size() > kMaxFormatNameBytes ||
        !std::all_of(name.begin(), name.end(), [](char c) { return c >= 0x20 && c < 0x7F; }))
        return false;
    if (name.find(' ') == std::string_view::npos)
        return true;
    return version >= 2 && name.front() != ' ' && name.back() != ' ';
}

// A restricted name of RFC 6838.
bool isRestrictedName(std::string_view part)
{
    static constexpr std::string_view kOthers = "!#$&-^_.+";
    const auto alnum = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    };
    return !part.empty() && part.size() <= 127 && alnum(part.front()) &&
           std::all_of(part.begin(), part.end(),
                       [&](char c) { return alnum(c) || kOthers.find(c) != std::string_view::npos; });
}

} // namespace

bool IsMimeTypeName(std::string_view name)
{
    const std::size_t slash = name.find('/');
    return slash != std::string_view::npos && isRestrictedName(name.substr(0, slash)) &&
           isRestrictedName(name.substr(slash + 1));
}

bool IsNameableFormat(std::uint32_t format)
{
    return format >= platform::kFirstRegisteredFormat && format <= 0xFFFF &&
           (format < kFirstFixedFormat || format > kLastFixedFormat);
}

bool IsCarriableFormatName(std::string_view name)
{
    return fitsVersion(name, kFormatNameTableVersion);
}

std::string EncodeFormatNames(const std::vector<FormatName>& names)
{
    if (names.size() > kMaxFormatNames)
        throw Error("Too many clipboard formats.");
    const bool spaced = std::any_of(names.begin(), names.end(), [](const FormatName& entry) {
        return entry.name.find(' ') != std::string::npos;
    });
    std::string out;
    appendLe32(out, spaced ? 2 : 1);
    appendLe32(out, static_cast<std::uint32_t>(names.size()));
    for (const FormatName& entry : names) {
        if (!IsCarriableFormatName(entry.name))
            throw Error("Invalid clipboard format name.");
        appendLe32(out, entry.format);
        appendLe32(out, static_cast<std::uint32_t>(entry.name.size()));
        out += entry.name;
    }
    return out;
}

std::vector<FormatName> DecodeFormatNames(std::string_view data)
{
    std::size_t position = 0;
    const std::uint32_t version = takeLe32(data, position);
    if (version < 1 || version > kFormatNameTableVersion)
        return {};
    const std::uint32_t count = takeLe32(data, position);
    if (count > kMaxFormatNames)
        throw StreamReadError("Stream read error: too many format names");
    std::vector<FormatName> names;
    names.reserve(count);
    for (std::uint32_t index = 0; index < count; ++index) {
        FormatName entry;
        entry.format = takeLe32(data, position);
        const std::uint32_t length = takeLe32(data, position);
        if (length > kMaxFormatNameBytes || data.size() - position < length)
            throw StreamReadError("Stream read error: invalid format name");
        entry.name.assign(data.substr(position, length));
        position += length;
        // Whether a name may stand for a type here is the restoring system's call (X11 offers only
        // MIME types); the table drops only what no system could use.
        if (fitsVersion(entry.name, version) && IsNameableFormat(entry.format))
            names.push_back(std::move(entry));
    }
    // A number named twice has no name that can be trusted.
    std::vector<FormatName> unique;
    unique.reserve(names.size());
    for (FormatName& entry : names) {
        if (std::count_if(names.begin(), names.end(),
                          [&](const FormatName& other) { return other.format == entry.format; }) == 1)
            unique.push_back(std::move(entry));
    }
    return unique;
}

} // namespace tern
