#include "clipboard/FileDropList.h"

#include "service/ByteOrder.h"
#include "util/TextEncoding.h"
#include "util/TextRoutines.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace tern {

namespace {

constexpr std::size_t kDropFilesHeader = 20;
// More paths than anyone copies at once; bounds the work on a forged list.
constexpr std::size_t kMaxPaths = 65536;

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::string> percentDecoded(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = hexValue(text[i + 1]);
        const int low = hexValue(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

// The host and the decoded path of each file address of a uri-list.
std::vector<std::pair<std::string, std::string>> fileAddresses(std::string_view uriList)
{
    std::vector<std::pair<std::string, std::string>> addresses;
    std::size_t position = 0;
    while (position < uriList.size() && addresses.size() < kMaxPaths) {
        std::size_t end = uriList.find('\n', position);
        if (end == std::string_view::npos)
            end = uriList.size();
        std::string_view line = uriList.substr(position, end - position);
        position = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == '\0' || line.back() == ' '))
            line.remove_suffix(1);
        constexpr std::string_view kScheme = "file://";
        if (line.size() <= kScheme.size() || line.front() == '#')
            continue;
        if (!SameTextAscii(line.substr(0, kScheme.size()), kScheme))
            continue;
        line.remove_prefix(kScheme.size());
        const std::size_t slash = line.find('/');
        if (slash == std::string_view::npos)
            continue;
        std::optional<std::string> path = percentDecoded(line.substr(slash));
        if (!path || path->find('\0') != std::string::npos)
            continue;
        addresses.emplace_back(std::string(line.substr(0, slash)), std::move(*path));
    }
    return addresses;
}

bool isDrivePath(std::string_view path)
{
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) != 0 && path[1] == ':';
}

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

// No character that Windows reserves in names: wildcards and the '?' of "\??\" and "\\?\", quotes,
// redirections, colons (drives and streams), control characters.
bool hasOnlyNameCharacters(std::string_view text)
{
    return std::none_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 ||
               std::string_view("?*\"<>|:").find(c) != std::string_view::npos;
    });
}

} // namespace

bool IsWindowsDrivePath(std::string_view path)
{
    return path.size() >= 3 && isDrivePath(path) && isSeparator(path[2]) &&
           hasOnlyNameCharacters(path.substr(2));
}

bool IsLocalWindowsPath(std::string_view path)
{
    if (IsWindowsDrivePath(path))
        return true;
    return !path.empty() && isSeparator(path[0]) && (path.size() == 1 || !isSeparator(path[1])) &&
           hasOnlyNameCharacters(path);
}

std::string EncodeDropFiles(const std::vector<std::string>& paths)
{
    std::string out;
    AppendLe32(out, static_cast<std::uint32_t>(kDropFilesHeader)); // where the paths begin
    AppendLe32(out, 0);                                            // drop point x
    AppendLe32(out, 0);                                            // drop point y
    AppendLe32(out, 0);                                            // point in the client area
    AppendLe32(out, 1);                                            // wide characters
    for (const std::string& path : paths) {
        out += Utf16LeTextBlock(path);
    }
    out += std::string(2, '\0');
    return out;
}

std::vector<std::string> DecodeDropFiles(std::string_view data)
{
    std::vector<std::string> paths;
    if (data.size() < kDropFilesHeader)
        return paths;
    const std::uint32_t start = GetLe32(data, 0);
    const bool wide = GetLe32(data, 16) != 0;
    if (start < kDropFilesHeader || start > data.size())
        return paths;
    std::size_t position = start;
    while (paths.size() < kMaxPaths) {
        std::string path;
        bool terminated = false;
        if (wide) {
            std::u16string units;
            for (; position + 1 < data.size(); position += 2) {
                const auto unit = static_cast<char16_t>(static_cast<unsigned char>(data[position]) |
                                                        static_cast<unsigned char>(data[position + 1]) << 8);
                if (unit == 0) {
                    terminated = true;
                    position += 2;
                    break;
                }
                units += unit;
            }
            path = Utf8FromUtf16(units);
        } else {
            const std::size_t zero = data.find('\0', position);
            if (zero != std::string_view::npos) {
                path = Windows1252ToUtf8(data.substr(position, zero - position));
                terminated = true;
                position = zero + 1;
            }
        }
        if (!terminated || path.empty())
            break;
        paths.push_back(std::move(path));
    }
    return paths;
}

std::vector<std::string> WindowsPathsFromUriList(std::string_view uriList)
{
    std::vector<std::string> paths;
    for (auto& [host, path] : fileAddresses(uriList)) {
        if (!host.empty() && !SameTextAscii(host, "localhost"))
            continue;
        std::replace(path.begin(), path.end(), '/', '\\');
        if (isDrivePath(std::string_view(path).substr(1)))
            path.erase(0, 1);
        if (IsLocalWindowsPath(path))
            paths.push_back(std::move(path));
    }
    return paths;
}

std::vector<std::string> PosixPathsFromUriList(std::string_view uriList)
{
    std::vector<std::string> paths;
    for (auto& [host, path] : fileAddresses(uriList)) {
        if (host.empty() || host == "localhost")
            paths.push_back(std::move(path));
    }
    return paths;
}

std::optional<std::string> PosixPathFromWindowsPath(std::string_view path)
{
    if (path.empty() || path.front() != '\\' || !IsLocalWindowsPath(path))
        return std::nullopt;
    std::string posix(path);
    std::replace(posix.begin(), posix.end(), '\\', '/');
    return posix;
}

std::string UriListFromPosixPaths(const std::vector<std::string>& paths)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const std::string& path : paths) {
        out += "file://";
        for (const char c : path) {
            const auto byte = static_cast<unsigned char>(c);
            if (std::isalnum(byte) != 0 ||
                std::string_view("/-._~!$&'()*+,;=:@").find(c) != std::string_view::npos) {
                out += c;
            } else {
                out += '%';
                out += kHex[byte >> 4];
                out += kHex[byte & 0xF];
            }
        }
        out += "\r\n";
    }
    return out;
}

} // namespace tern
