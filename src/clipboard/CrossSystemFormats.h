#pragma once

#include "platform/Clipboard.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tern {

// A snapshot taken on Windows holds the Windows forms of rich text, web pages and copied files, one
// taken on Linux their X11 forms (MimeFormatTable.h); the restoring system puts each in its own form,
// so that the same snapshot pastes the same content on both.

// The Windows forms of the X11 types that differ from them only in name or framing.
inline constexpr std::uint32_t kWindowsFileDrop = 15; // CF_HDROP, a file drop list (FileDropList.h)
inline constexpr std::string_view kWindowsHtmlName = "HTML Format";
inline constexpr std::string_view kWindowsRtfName = "Rich Text Format";

// The full path of an existing file or folder that `path` names on this system, or nothing.
using ExistingFile = std::function<std::optional<std::string>(const std::string& path)>;

// One format as the restoring system puts it: under a standard number when `name` is empty,
// otherwise under the format this system registers for `name`.
struct LocalFormat
{
    std::uint32_t format = 0;
    std::string name;
    std::string bytes;

    bool operator==(const LocalFormat&) const = default;
};

// True for an entry a Windows capture produced in a form the X11 clipboard names otherwise: "HTML
// Format", "Rich Text Format" or a file drop list.
bool IsWindowsForm(const platform::ClipboardEntry& entry);

// The X11 form of "HTML Format" or "Rich Text Format" as the part of the entry's own bytes it is: the
// HTML document without the header, the rich text up to its terminating zero. It points into the
// entry, so that the clipboard can copy it from there. Nothing for other entries and for "HTML
// Format" whose header cannot be read.
struct LocalFormatView
{
    std::uint32_t format = 0;
    std::string_view bytes;
};
std::optional<LocalFormatView> LinuxFormInWindowsEntry(const platform::ClipboardEntry& entry);

// The X11 form of such an entry, `format` a number of MimeFormatTable.h: text/html without the header,
// text/rtf up to its terminating zero, text/uri-list of the dropped files that exist here (nothing
// when none does, or for an entry that is no Windows form). `existing` checks POSIX paths.
std::optional<LocalFormat> LinuxFormOfWindowsEntry(const platform::ClipboardEntry& entry,
                                                   const ExistingFile& existing);

// True for an entry an X11 capture produced under a number of MimeFormatTable.h.
bool IsLinuxFixedForm(const platform::ClipboardEntry& entry);

// The Windows form of such an entry: text/html as "HTML Format" with its header, RTF as "Rich Text
// Format" with a terminating zero, text/uri-list as a file drop list of the files that exist here
// (nothing when none does), every other type registered under its MIME name with its bytes unchanged.
// `existing` checks Windows paths (root-relative ones included); it is never given a path that names
// a network place (FileDropList.h).
std::optional<LocalFormat> WindowsFormOfLinuxEntry(const platform::ClipboardEntry& entry,
                                                   const ExistingFile& existing);

} // namespace tern
