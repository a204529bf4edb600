#include "platform/win/WideText.h"

#include "util/TextEncoding.h"

namespace tern::platform::win {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 code units");

std::wstring Widen(std::string_view utf8)
{
    const std::u16string units = Utf16FromUtf8(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string Narrow(std::wstring_view wide)
{
    const std::u16string units(wide.begin(), wide.end());
    return Utf8FromUtf16(units);
}

} // namespace tern::platform::win
