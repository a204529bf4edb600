#include "clipboard/MimeFormatTable.h"

#include "util/TextRoutines.h"

#include <array>

namespace tern {

namespace {

// The numbers start at 0xF000, inside the registered range (0xC000 to 0xFFFF) but far above the numbers
// a Windows session hands out, which count up from 0xC000; that keeps a snapshot's X11 types apart from
// the names a Windows peer registers in a typical session.
//
// NEVER renumber, reuse or remove an entry: snapshots already stored or sent carry these numbers.
//
// Every other type is captured too, under a number of the range kFirstOwnFormat to kLastOwnFormat
// (0xE000 to 0xEFFF, outside this block) that this process hands out in the order it meets the types.
// Those numbers mean nothing elsewhere, so the snapshot names them: its LAST record, under the
// reserved number 0xF0FF (platform::kFormatNameTable, never a clipboard type), holds the name table,
// in a payload container like every record. Its data, little-endian: version (32-bit, 1), count n
// (32-bit, at most 1,024), then n entries of format number (32-bit), name length L (32-bit, 1 to 255)
// and the L bytes of the MIME name (printable ASCII). A reader that does not know the record sees one
// more unknown format after every real one; a snapshot without it means this table alone. The
// codec is clipboard/FormatNameTable.h.
constexpr std::array kTable{
    // Rich text of editors and browsers.
    MimeFormat{0xF000, "text/html"},
    MimeFormat{0xF001, "text/rtf"},
    MimeFormat{0xF002, "application/rtf"},
    MimeFormat{0xF003, "text/richtext"},
    // Lists of addresses and copied files.
    MimeFormat{0xF010, "text/uri-list"},
    MimeFormat{0xF011, "x-special/gnome-copied-files"},
    MimeFormat{0xF012, "application/x-kde-cutselection"},
    MimeFormat{0xF013, "application/x-kde4-urilist"},
    MimeFormat{0xF014, "text/x-moz-url"},
    // Browsers' own data for web pages' copy handlers.
    MimeFormat{0xF020, "chromium/x-web-custom-data"},
    MimeFormat{0xF021, "chromium/x-source-url"},
    MimeFormat{0xF022, "application/x-moz-custom-clipdata"},
    MimeFormat{0xF023, "text/_moz_htmlcontext"},
    MimeFormat{0xF024, "text/_moz_htmlinfo"},
    // Tables and calendars.
    MimeFormat{0xF030, "text/csv"},
    MimeFormat{0xF031, "text/tab-separated-values"},
    MimeFormat{0xF032, "text/calendar"},
    MimeFormat{0xF033, "text/vcard"},
};

} // namespace

std::span<const MimeFormat> MimeFormats()
{
    return kTable;
}

std::optional<std::uint32_t> FormatForMime(std::string_view mime)
{
    for (const MimeFormat& entry : kTable) {
        if (SameTextAscii(entry.mime, mime))
            return entry.format;
    }
    return std::nullopt;
}

std::optional<std::string_view> MimeForFormat(std::uint32_t format)
{
    for (const MimeFormat& entry : kTable) {
        if (entry.format == format)
            return entry.mime;
    }
    return std::nullopt;
}

} // namespace tern
