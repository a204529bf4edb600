#include "service/EclCipher.h"

#include <cryptopp/aes.h>
#include <cryptopp/ripemd.h>

#include <algorithm>
#include <cstring>

namespace tern {

struct EclCipher::Engines
{
    CryptoPP::AES::Encryption encryption;
    CryptoPP::AES::Decryption decryption;
};

namespace {

void xorInto(std::uint8_t* target, const std::uint8_t* source, std::size_t size) noexcept
{
    for (std::size_t i = 0; i < size; ++i)
        target[i] ^= source[i];
}

// Pieces deciphered per bulk call: the feedback values of one chunk are kept on the stack.
constexpr std::size_t kChunkPieces = 256;

} // namespace

std::array<std::uint8_t, 16> EclKey(std::string_view text)
{
    std::array<std::uint8_t, 16> key{};
    CryptoPP::RIPEMD128 digest;
    digest.CalculateDigest(key.data(), reinterpret_cast<const CryptoPP::byte*>(text.data()), text.size());
    return key;
}

EclCipher::EclCipher(std::string_view password) : m_engines(std::make_unique<Engines>())
{
    const std::array<std::uint8_t, 16> key = EclKey(password);
    m_engines->encryption.SetKey(key.data(), key.size());
    m_engines->decryption.SetKey(key.data(), key.size());
    std::array<std::uint8_t, kBlock> ones;
    ones.fill(0xFF);
    m_engines->encryption.ProcessBlock(ones.data(), m_initialVector.data());
}

EclCipher::~EclCipher() = default;

void EclCipher::finishTail(const std::uint8_t* feedback, std::uint8_t* tail, std::size_t size) const
{
    if (size == 0)
        return;
    std::uint8_t stream[kBlock];
    m_engines->encryption.ProcessBlock(feedback, stream);
    xorInto(tail, stream, size);
}

void EclCipher::encipher(std::uint8_t* data, std::size_t size) const
{
    std::uint8_t feedback[kBlock];
    std::memcpy(feedback, m_initialVector.data(), kBlock);
    const std::size_t whole = size / kBlock * kBlock;
    for (std::size_t at = 0; at < whole; at += kBlock) {
        std::uint8_t* piece = data + at;
        xorInto(piece, feedback, kBlock);
        m_engines->encryption.ProcessBlock(piece);
        xorInto(feedback, piece, kBlock);
    }
    finishTail(feedback, data + whole, size - whole);
}

void EclCipher::decipher(std::uint8_t* data, std::size_t size) const
{
    // The feedback depends only on enciphered pieces, so a chunk's feedback values are known before
    // any of it is deciphered and the AES decryptions of the chunk run as one pipelined bulk call.
    std::uint8_t feedback[kBlock];
    std::memcpy(feedback, m_initialVector.data(), kBlock);
    std::uint8_t chunkFeedback[kChunkPieces * kBlock];
    const std::size_t whole = size / kBlock * kBlock;
    for (std::size_t at = 0; at < whole;) {
        const std::size_t length = std::min(whole - at, kChunkPieces * kBlock);
        std::uint8_t* chunk = data + at;
        for (std::size_t piece = 0; piece < length; piece += kBlock) {
            std::memcpy(chunkFeedback + piece, feedback, kBlock);
            xorInto(feedback, chunk + piece, kBlock);
        }
        // plain = AES^-1(Q) xor F, in place.
        m_engines->decryption.AdvancedProcessBlocks(chunk, chunkFeedback, chunk, length,
                                                    CryptoPP::BlockTransformation::BT_AllowParallel);
        at += length;
    }
    finishTail(feedback, data + whole, size - whole);
}

} // namespace tern
