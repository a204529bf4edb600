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

// The paths that name existing files here, each as `existing` gives it. The list is filtered where it
// is, so that a long drop list is not held twice.
template <typename Convert>
std::vector<std::string> existingPaths(std::vector<std::string> paths, const ExistingFile& existing,
                                       Convert convert)
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::optional<std::string> candidate = convert(paths[i]);
        if (!candidate || !existing)
            continue;
        if (std::optional<std::string> full = existing(*candidate))
            paths[kept++] = std::move(*full);
    }
    paths.resize(kept);
    return paths;
}

} // namespace

bool IsWindowsForm(const platform::ClipboardEntry& entry)
{
    return entry.name == kWindowsHtmlName || entry.name == kWindowsRtfName ||
           (entry.name.empty() && entry.format == kWindowsFileDrop);
}

std::optional<LocalFormatView> LinuxFormInWindowsEntry(const platform::ClipboardEntry& entry)
{
    const std::string* bytes = bytesOf(entry);
    if (bytes == nullptr)
        return std::nullopt;
    const std::string_view data = *bytes;
    if (entry.name == kWindowsRtfName)
        return LocalFormatView{numberOf(kRtfMime), data.substr(0, data.find('\0'))};
    if (entry.name != kWindowsHtmlName)
        return std::nullopt;
    const std::optional<HtmlFormatOffsets> offsets = ParseHtmlFormat(data);
    if (!offsets)
        return std::nullopt;
    return LocalFormatView{numberOf(kHtmlMime),
                           data.substr(offsets->startHtml, offsets->endHtml - offsets->startHtml)};
}

std::optional<LocalFormat> LinuxFormOfWindowsEntry(const platform::ClipboardEntry& entry,
                                                   const ExistingFile& existing)
{
    const std::string* bytes = bytesOf(entry);
    if (bytes == nullptr || !IsWindowsForm(entry))
        return std::nullopt;
    if (entry.name == kWindowsHtmlName || entry.name == kWindowsRtfName) {
        const std::optional<LocalFormatView> text = LinuxFormInWindowsEntry(entry);
        if (!text)
            return std::nullopt;
        return LocalFormat{text->format, {}, std::string(text->bytes)};
    }
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
    if (*mime == kRtfMime || *mime == kApplicationRtfMime) {
        // Made at its size at once: growing it by the zero could hold the text three times.
        const std::string_view text = std::string_view(*bytes).substr(0, bytes->find('\0'));
        std::string rtf;
        rtf.reserve(text.size() + 1);
        rtf.append(text).push_back('\0');
        return LocalFormat{0, std::string(kWindowsRtfName), std::move(rtf)};
    }
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
