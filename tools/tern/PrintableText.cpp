#include "PrintableText.h"

#include "util/TextEncoding.h"

namespace tern::tool {

std::string PrintableText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        const char32_t code = DecodeUtf8(text, pos);
        const bool control =
            (code < 0x20 && code != U'\n' && code != U'\t') || (code >= 0x7F && code <= 0x9F);
        if (!control)
            AppendUtf8(out, code);
    }
    return out;
}

} // namespace tern::tool
