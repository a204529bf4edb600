#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tern {

// The Windows clipboard's "HTML Format": UTF-8 HTML behind a header of "Name:value" lines that gives
// the byte offsets of the HTML document and of the copied fragment inside it, counted from the start
// of the data:
//   Version:0.9  StartHTML:…  EndHTML:…  StartFragment:…  EndFragment:…  [SourceURL:…]
// The X11 clipboard's text/html holds the HTML alone.

// Byte offsets read from a header; the HTML bounds are those of the fragment when the header gives
// none (-1 or missing).
struct HtmlFormatOffsets
{
    std::size_t startHtml = 0;
    std::size_t endHtml = 0;
    std::size_t startFragment = 0;
    std::size_t endFragment = 0;
};

// The offsets of `data`, checked to lie in order inside it; nothing when the header is missing, has
// no fragment, or an offset is malformed or out of bounds. Reads untrusted bytes: never reads past
// `data` and allocates nothing in proportion to it.
std::optional<HtmlFormatOffsets> ParseHtmlFormat(std::string_view data);

// The HTML document of "HTML Format" data without its header (the bytes from StartHTML to EndHTML);
// nothing when the header cannot be read.
std::optional<std::string> HtmlFromHtmlFormat(std::string_view data);

// "HTML Format" data for `html`, followed by a zero byte. The HTML is taken as UTF-8 unless it begins
// with a UTF-16 byte order mark, and it loses trailing zero bytes. When it already marks its fragment
// with <!--StartFragment--> and <!--EndFragment--> those marks give the fragment; otherwise the marks
// go inside its body element, or around the whole of it inside a new document when it has none.
std::string BuildHtmlFormat(std::string_view html);

} // namespace tern
