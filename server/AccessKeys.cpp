#include "AccessKeys.h"

#include <array>

#include <sodium.h>

namespace tern::server {
namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// The largest multiple of 62 within a byte: bytes from here on would bias the symbols and are redrawn.
constexpr unsigned kUnbiasedLimit = 62 * 4;

bool isKeySymbol(char c) noexcept
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

} // namespace

std::string NewAccessKey()
{
    std::string key;
    key.reserve(kAccessKeyLength);
    std::array<unsigned char, 64> pool{};
    while (key.size() < kAccessKeyLength) {
        randombytes_buf(pool.data(), pool.size());
        for (const unsigned char byte : pool) {
            if (byte >= kUnbiasedLimit)
                continue;
            key += kAlphabet[byte % kAlphabet.size()];
            if (key.size() == kAccessKeyLength)
                break;
        }
    }
    sodium_memzero(pool.data(), pool.size());
    return key;
}

bool IsAccessKeyForm(std::string_view text) noexcept
{
    if (text.size() != kAccessKeyLength)
        return false;
    for (const char c : text) {
        if (!isKeySymbol(c))
            return false;
    }
    return true;
}

} // namespace tern::server
