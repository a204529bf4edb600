#include "clipboard/HtmlClipboardFormat.h"

#include <cstddef>
#include <cstdint>

// Input: "HTML Format" data from another system's clipboard. Offsets that parse lie in order inside
// the data; whatever the input, the data built from it parses back to a fragment inside its document.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (const auto offsets = tern::ParseHtmlFormat(input)) {
        if (offsets->startHtml > offsets->startFragment || offsets->startFragment > offsets->endFragment ||
            offsets->endFragment > offsets->endHtml || offsets->endHtml > size)
            __builtin_trap();
        if (tern::HtmlFromHtmlFormat(input)->size() != offsets->endHtml - offsets->startHtml)
            __builtin_trap();
    }
    const std::string built = tern::BuildHtmlFormat(input);
    const auto rebuilt = tern::ParseHtmlFormat(built);
    if (!rebuilt || rebuilt->endHtml + 1 != built.size())
        __builtin_trap();
    return 0;
}
