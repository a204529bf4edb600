#include "service/PasswordDigest.h"

#include "util/TextEncoding.h"

#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include <cryptopp/md5.h>

#include <array>

namespace tern {

std::string PasswordDigest(std::string_view typed)
{
    const std::string bytes = Utf8ToWindows1252(typed);
    std::array<CryptoPP::byte, CryptoPP::Weak::MD5::DIGESTSIZE> digest{};
    CryptoPP::Weak::MD5().CalculateDigest(
        digest.data(), reinterpret_cast<const CryptoPP::byte*>(bytes.data()), bytes.size());
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(digest.size() * 2);
    for (const CryptoPP::byte b : digest) {
        text += kHex[b >> 4];
        text += kHex[b & 0x0F];
    }
    return text;
}

} // namespace tern
