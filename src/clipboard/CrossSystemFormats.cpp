#include "clipboard/CrossSystemFormats.h"

#include "clipboard/FileDropList.h"
#include "clipboard/HtmlClipboardFormat.h"
#include "clipboard/MimeFormatTable.h"

namespace tern {

namespace {

constexpr std::string_view kHtmlMime = "text/html";
constexpr std::string_view kRtfMime = "text/rtf";
constexpr std::string_view kApplicationRtfMime = "application/rtf";
constexpr std::string_view kUriListMime = "text/uri-list";

const std::string* bytesOf(const platform::ClipboardEntry& entry)
{
    return std::get_if<std::string>(&entry.data);
}

std::uint32_t numberOf(std::string_view mime)
{
    return FormatForMime(mime).value_or(0);
}

std::string upToZero(std::string_view bytes)
{
    return std::string(bytes.substr(0, bytes.find('\0')));
}

template <typename Convert>
std::vector<std::string> existingPaths(const std::vector<std::string>& paths, const ExistingFile& existing,
                                       Convert convert)
{
    std::vector<std::string> found;
    for (const std::string& path : paths) {
        const std::optional<std::string> candidate = convert(path);
        if (!candidate || !existing)
            continue;
        if (std::optional<std::string> full = existing(*candidate))
            found.push_back(std::move(*full));
    }
    return found;
}

} // namespace

bool IsWindowsForm(const platform::ClipboardEntry& entry)
{
    return entry.name == kWindowsHtmlName || entry.name == kWindowsRtfName ||
           (entry.name.empty() && entry.format == kWindowsFileDrop);
}

std::optional<LocalFormat> LinuxFormOfWindowsEntry(const platform::ClipboardEntry& entry,
                                                   const ExistingFile& existing)
{
    const std::string* bytes = bytesOf(entry);
    if (bytes == nullptr || !IsWindowsForm(entry))
        return std::nullopt;
    if (entry.name == kWindowsHtmlName) {
        std::optional<std::string> html = HtmlFromHtmlFormat(*bytes);
        if (!html)
            return std::nullopt;
        return LocalFormat{numberOf(kHtmlMime), {}, std::move(*html)};
    }
    if (entry.name == kWindowsRtfName)
        return LocalFormat{numberOf(kRtfMime), {}, upToZero(*bytes)};
    const std::vector<std::string> paths =
        existingPaths(DecodeDropFiles(*bytes), existing,
                      [](const std::string& path) { return PosixPathFromWindowsPath(path); });
    if (paths.empty())
        return std::nullopt;
    return LocalFormat{numberOf(kUriListMime), {}, UriListFromPosixPaths(paths)};
}

bool IsLinuxFixedForm(const platform::ClipboardEntry& entry)
{
    return entry.name.empty() && MimeForFormat(entry.format).has_value();
}

std::optional<LocalFormat> WindowsFormOfLinuxEntry(const platform::ClipboardEntry& entry,
                                                   const ExistingFile& existing)
{
    const std::string* bytes = bytesOf(entry);
    const std::optional<std::string_view> mime =
        entry.name.empty() ? MimeForFormat(entry.format) : std::nullopt;
    if (bytes == nullptr || !mime)
        return std::nullopt;
    if (*mime == kHtmlMime)
        return LocalFormat{0, std::string(kWindowsHtmlName), BuildHtmlFormat(*bytes)};
    if (*mime == kRtfMime || *mime == kApplicationRtfMime)
        return LocalFormat{0, std::string(kWindowsRtfName), upToZero(*bytes) + '\0'};
    if (*mime == kUriListMime) {
        const std::vector<std::string> paths =
            existingPaths(WindowsPathsFromUriList(*bytes), existing, [](const std::string& path) {
                // Only a local path may be looked at: a network path would be connected to.
                return IsLocalWindowsPath(path) ? std::optional<std::string>(path) : std::nullopt;
            });
        if (paths.empty())
            return std::nullopt;
        return LocalFormat{kWindowsFileDrop, {}, EncodeDropFiles(paths)};
    }
    return LocalFormat{0, std::string(*mime), *bytes};
}

} // namespace tern
