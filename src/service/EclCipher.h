#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace tern {

// The container's cipher: AES-128 under the RIPEMD-128 digest of the password value, in a feedback
// chaining of its own. Every call starts from the same fresh state, so equal input gives equal
// output. Output has the length of the input.
//
// V = AES(16 x 0xFF), F = V. Whole 16-byte piece P: Q = AES(P xor F), F = F xor Q. Final piece of
// n < 16 bytes: XOR with the first n bytes of AES(F). Deciphering inverts this.
class EclCipher
{
public:
    explicit EclCipher(std::string_view password);
    ~EclCipher();
    EclCipher(const EclCipher&) = delete;
    EclCipher& operator=(const EclCipher&) = delete;

    void encipher(std::uint8_t* data, std::size_t size) const;
    void decipher(std::uint8_t* data, std::size_t size) const;

    static constexpr std::size_t kBlock = 16;

private:
    struct Engines;
    std::unique_ptr<Engines> m_engines;
    std::array<std::uint8_t, kBlock> m_initialVector{};

    void finishTail(const std::uint8_t* feedback, std::uint8_t* tail, std::size_t size) const;
};

// The 16-byte RIPEMD-128 digest of `text`'s bytes: the cipher key.
std::array<std::uint8_t, 16> EclKey(std::string_view text);

} // namespace tern
