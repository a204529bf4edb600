#include "service/ECLMemoryStream.h"

#include "service/ByteOrder.h"
#include "service/EclCipher.h"
#include "service/EclCrc.h"
#include "util/Errors.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace tern {

namespace {

constexpr char kMagic[4] = {'A', 'A', 'C', 'S'};
constexpr int kZlibLevel = 5;
// Header field offsets.
constexpr std::size_t kAtBlockSize = 4;
constexpr std::size_t kAtCheckCrc = 8;
constexpr std::size_t kAtBlockCount = 12;
constexpr std::size_t kAtFormatNumber = 16;
constexpr std::size_t kAtLevel = 20;
constexpr std::size_t kAtEnciphered = 22;
constexpr std::size_t kAtExtraHeader = 23;
constexpr std::size_t kAtCheckBlock = 28;
// The format number is the 32-bit float 3.0.
constexpr std::uint32_t kFormatNumberBits = 0x40400000u;
// Largest buffer handed to one zlib call, in zlib's own length type.
constexpr std::uint64_t kMaxZlibLength = 0xFFFFFFFFu;

[[noreturn]] void fail(const char* text)
{
    throw Error(text);
}

std::uint8_t* bytesOf(std::string& text) noexcept
{
    return reinterpret_cast<std::uint8_t*>(text.data());
}

const std::uint8_t* bytesOf(const std::string& text) noexcept
{
    return reinterpret_cast<const std::uint8_t*>(text.data());
}

std::array<std::uint8_t, TECLMemoryStream::kCheckBlockSize> plainCheckBlock() noexcept
{
    std::array<std::uint8_t, TECLMemoryStream::kCheckBlockSize> check{};
    for (std::size_t i = 0; i < check.size(); ++i)
        check[i] = static_cast<std::uint8_t>(i);
    return check;
}

// Inflates one zlib stream into exactly `plainSize` bytes at `target`.
void inflateBlock(const std::uint8_t* stored, std::uint32_t storedSize, std::uint8_t* target,
                  std::uint32_t plainSize)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        fail("TECLStream.LoadBlock - decompression error.");
    stream.next_in = const_cast<Bytef*>(stored);
    stream.avail_in = storedSize;
    stream.next_out = target;
    stream.avail_out = plainSize;
    const int status = inflate(&stream, Z_FINISH);
    const uLong produced = stream.total_out;
    inflateEnd(&stream);
    if (status == Z_STREAM_END) {
        if (produced != plainSize)
            fail("TECLStream.LoadBlock - decompression error, invalid size.");
        return;
    }
    // The output space is used up but the stream goes on: more plain bytes than the header says.
    if (status == Z_BUF_ERROR && stream.avail_out == 0 && stream.avail_in > 0)
        fail("TECLStream.LoadBlock - decompression error, invalid size.");
    fail("TECLStream.LoadBlock - decompression error.");
}

} // namespace

bool EclPasswordChecks::Timed(const std::string& password) const
{
    return std::find(m_timed.begin(), m_timed.end(), password) != m_timed.end();
}

void EclPasswordChecks::MarkTimed(const std::string& password)
{
    ++m_timedCount;
    if (!Timed(password))
        m_timed.push_back(password);
}

TECLMemoryStream::TECLMemoryStream(std::string password, std::uint32_t extraHeaderSize, std::uint8_t level,
                                   Options options)
    : m_password(std::move(password)), m_options(std::move(options))
{
    if (level != kLevelStored && level != kLevelCompressed)
        throw std::invalid_argument("TECLMemoryStream: compression level must be 0 or 2");
    if (!m_password.empty())
        m_cipher = std::make_unique<EclCipher>(m_password);

    std::string header(kHeaderSize + std::size_t{extraHeaderSize}, '\0');
    std::memcpy(header.data(), kMagic, sizeof kMagic);
    PutLe32(header.data() + kAtBlockSize, kBlockSize);
    PutLe32(header.data() + kAtBlockCount, 0);
    PutLe32(header.data() + kAtFormatNumber, kFormatNumberBits);
    header[kAtLevel] = static_cast<char>(level);
    PutLe32(header.data() + kAtExtraHeader, extraHeaderSize);
    if (m_cipher) {
        header[kAtEnciphered] = 1;
        auto check = plainCheckBlock();
        PutLe32(header.data() + kAtCheckCrc, EclCrc(check.data(), check.size()));
        m_cipher->encipher(check.data(), check.size());
        std::memcpy(header.data() + kAtCheckBlock, check.data(), check.size());
    }
    m_storage = std::move(header);
    open(true);
}

TECLMemoryStream::~TECLMemoryStream() = default;

const EclCipher& TECLMemoryStream::cipher() const
{
    // open() refuses an enciphered container without a password, so the cipher exists here.
    return *m_cipher;
}

void TECLMemoryStream::SetStorage(std::string bytes)
{
    m_storage = std::move(bytes);
    try {
        open();
    } catch (...) {
        m_storage.clear();
        m_plain = true;
        m_blocks.clear();
        m_size = 0;
        throw;
    }
}

void TECLMemoryStream::open(bool ownHeader)
{
    m_blocks.clear();
    m_size = 0;
    m_enciphered = false;
    m_plain = m_storage.size() < kHeaderSize || std::memcmp(m_storage.data(), kMagic, sizeof kMagic) != 0;
    if (m_plain) {
        if (!m_options.plainAllowed)
            fail("TECLStream.LoadHeaders - not a container.");
        if (m_storage.size() > m_options.maxLogicalSize)
            fail("TECLStream.LoadHeaders - data too long.");
        m_size = m_storage.size();
        return;
    }

    const char* header = m_storage.data();
    if (GetLe32(header + kAtBlockSize) != kBlockSize)
        fail("TECLStream.LoadHeaders - unsupported block size.");
    const auto level = static_cast<std::uint8_t>(header[kAtLevel]);
    if (level != kLevelStored && level != kLevelCompressed)
        fail("TECLStream.LoadHeaders - unsupported compression level.");
    m_level = level;
    m_extraHeaderSize = GetLe32(header + kAtExtraHeader);
    if (m_extraHeaderSize > m_storage.size() - kHeaderSize)
        fail("TECLStream.LoadHeaders - invalid header size.");

    m_enciphered = header[kAtEnciphered] != 0;
    if (m_enciphered && !ownHeader)
        checkPassword();

    const std::uint64_t storageSize = m_storage.size();
    const std::uint32_t count = GetLe32(header + kAtBlockCount);
    std::uint64_t offset = firstBlockOffset();
    if (count > (storageSize - offset) / kBlockHeaderSize)
        fail("TECLStream.LoadHeaders - invalid block count.");
    m_blocks.reserve(count);
    for (std::uint32_t index = 0; index < count; ++index) {
        if (storageSize - offset < kBlockHeaderSize)
            fail("TECLStream.LoadHeaders - invalid block header.");
        const char* at = m_storage.data() + offset;
        Block block;
        block.offset = offset;
        block.storedSize = GetLe32(at);
        block.plainSize = GetLe32(at + 4);
        block.crc = GetLe32(at + 8);
        block.logicalStart = m_size;
        const std::uint64_t next = GetLe32(at + 12);
        const std::uint64_t dataEnd = offset + kBlockHeaderSize + block.storedSize;
        const bool last = index + 1 == count;
        // Every block but the last holds a whole block size; the last one holds the remainder.
        if (block.plainSize == 0 || block.plainSize > kBlockSize || (!last && block.plainSize != kBlockSize))
            fail("TECLStream.LoadHeaders - invalid block header.");
        if (dataEnd > storageSize || next < dataEnd || next > storageSize)
            fail("TECLStream.LoadHeaders - invalid block header.");
        m_size += block.plainSize;
        if (m_size > m_options.maxLogicalSize)
            fail("TECLStream.LoadHeaders - data too long.");
        m_blocks.push_back(block);
        offset = next;
    }
}

void TECLMemoryStream::checkPassword()
{
    if (!m_cipher)
        fail("TECLStream.LoadHeaders - no password specified.");
    const auto start = ClockNow(m_options.clock);
    std::array<std::uint8_t, kCheckBlockSize> check;
    std::memcpy(check.data(), m_storage.data() + kAtCheckBlock, check.size());
    m_cipher->decipher(check.data(), check.size());
    const bool passed = EclCrc(check.data(), check.size()) == GetLe32(m_storage.data() + kAtCheckCrc);
    // The check costs a fixed minimum time, wrong or right, so that guessing password values is slow;
    // the time is slept, not computed. Within one snapshot the time is spent once per password value.
    if (!m_options.checks || !m_options.checks->Timed(m_password)) {
        for (;;) {
            const auto elapsed = ClockNow(m_options.clock) - start;
            if (elapsed >= kCheckDuration)
                break;
            const auto rest = std::chrono::duration_cast<std::chrono::nanoseconds>(kCheckDuration - elapsed);
            if (m_options.sleep)
                m_options.sleep(rest);
            else
                std::this_thread::sleep_for(rest);
        }
        if (passed && m_options.checks)
            m_options.checks->MarkTimed(m_password);
    }
    if (!passed)
        fail("TECLStream.LoadHeaders - invalid password.");
}

void TECLMemoryStream::loadBlock(std::size_t index, std::uint8_t* target) const
{
    const Block& block = m_blocks[index];
    const std::uint8_t* stored = bytesOf(m_storage) + block.offset + kBlockHeaderSize;
    std::string deciphered;
    if (m_enciphered) {
        deciphered.assign(reinterpret_cast<const char*>(stored), block.storedSize);
        cipher().decipher(bytesOf(deciphered), deciphered.size());
        stored = bytesOf(deciphered);
    }
    if (m_level == kLevelStored) {
        if (block.storedSize != block.plainSize)
            fail("TECLStream.LoadBlock - decompression error, invalid size.");
        std::memcpy(target, stored, block.plainSize);
    } else {
        inflateBlock(stored, block.storedSize, target, block.plainSize);
    }
    if (EclCrc(target, block.plainSize) != block.crc)
        fail("TECLStream.LoadBlock - decompression crc error.");
}

std::size_t TECLMemoryStream::Read(std::uint64_t position, void* buffer, std::size_t count) const
{
    if (position >= m_size || count == 0)
        return 0;
    const std::uint64_t end =
        std::min<std::uint64_t>(m_size, position + std::min<std::uint64_t>(count, m_size));
    auto* out = static_cast<std::uint8_t*>(buffer);
    if (m_plain) {
        std::memcpy(out, m_storage.data() + position, end - position);
        return end - position;
    }
    std::string plain;
    for (std::size_t index = position / kBlockSize; index < m_blocks.size(); ++index) {
        const Block& block = m_blocks[index];
        if (block.logicalStart >= end)
            break;
        const std::uint64_t from = std::max(position, block.logicalStart);
        const std::uint64_t to = std::min(end, block.logicalStart + block.plainSize);
        if (from == block.logicalStart && to == block.logicalStart + block.plainSize) {
            loadBlock(index, out + (from - position));
        } else {
            plain.resize(block.plainSize);
            loadBlock(index, bytesOf(plain));
            std::memcpy(out + (from - position), plain.data() + (from - block.logicalStart), to - from);
        }
    }
    return end - position;
}

std::string TECLMemoryStream::ReadAll() const
{
    if (m_plain)
        return m_storage;
    // Blocks are decoded straight into the result; it grows block by block, so a header that claims
    // more than its storage holds costs nothing before the first block fails.
    std::string data;
    data.reserve(std::min<std::uint64_t>(m_size, std::uint64_t{64} * kBlockSize));
    for (std::size_t index = 0; index < m_blocks.size(); ++index) {
        const std::size_t at = data.size();
        data.resize(at + m_blocks[index].plainSize);
        loadBlock(index, bytesOf(data) + at);
    }
    return data;
}

void TECLMemoryStream::appendBlock(std::string& storage, const std::uint8_t* plain, std::uint32_t size) const
{
    const std::size_t headerAt = storage.size();
    std::uint32_t storedSize = 0;
    if (m_level == kLevelStored) {
        storage.append(kBlockHeaderSize, '\0');
        storage.append(reinterpret_cast<const char*>(plain), size);
        storedSize = size;
    } else {
        uLongf bound = compressBound(size);
        storage.resize(headerAt + kBlockHeaderSize + bound);
        if (compress2(bytesOf(storage) + headerAt + kBlockHeaderSize, &bound, plain, size, kZlibLevel) !=
            Z_OK)
            fail("TECLStream.PrepareBufferForWriting - compression error in PrepareBuffer.");
        storedSize = static_cast<std::uint32_t>(bound);
        storage.resize(headerAt + kBlockHeaderSize + storedSize);
    }
    if (m_enciphered)
        cipher().encipher(bytesOf(storage) + headerAt + kBlockHeaderSize, storedSize);
    char* header = storage.data() + headerAt;
    PutLe32(header, storedSize);
    PutLe32(header + 4, size);
    PutLe32(header + 8, EclCrc(plain, size));
    PutLe32(header + 12, static_cast<std::uint32_t>(headerAt + kBlockHeaderSize + storedSize));
}

void TECLMemoryStream::writePlain(std::uint64_t position, const void* data, std::size_t count)
{
    const std::uint64_t end = position + count;
    if (end > m_storage.size())
        m_storage.resize(end, '\0');
    std::memcpy(m_storage.data() + position, data, count);
    m_size = m_storage.size();
}

void TECLMemoryStream::Write(std::uint64_t position, const void* data, std::size_t count)
{
    if (count == 0)
        return;
    if (m_plain) {
        writePlain(position, data, count);
        return;
    }
    const std::uint64_t writeEnd = position + count;
    const std::uint64_t newSize = std::max(m_size, writeEnd);
    const std::uint64_t newCount = (newSize + kBlockSize - 1) / kBlockSize;
    if (newCount > 0xFFFFFFFFu || newSize > kMaxZlibLength * kBlockSize)
        fail("TECLStream.PrepareBufferForWriting - compression error in PrepareBuffer.");
    // Blocks from the one holding the old end (a gap is filled with zero bytes) or the write's
    // start, whichever is first, up to the one holding the write's end, are rebuilt.
    const std::uint64_t firstRebuilt = std::min(position, m_size) / kBlockSize;
    const std::uint64_t lastRebuilt = (writeEnd - 1) / kBlockSize;
    const auto* source = static_cast<const std::uint8_t*>(data);

    std::string storage;
    std::uint64_t estimate = firstBlockOffset() + newCount * kBlockHeaderSize + m_storage.size();
    if (m_level == kLevelStored)
        estimate += count;
    storage.reserve(estimate);
    storage.assign(m_storage, 0, firstBlockOffset());
    std::string plain;
    std::vector<Block> blocks;
    blocks.reserve(newCount);
    for (std::uint64_t index = 0; index < newCount; ++index) {
        const std::uint64_t blockStart = index * kBlockSize;
        const auto blockSize =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(kBlockSize, newSize - blockStart));
        Block block;
        block.offset = storage.size();
        block.logicalStart = blockStart;
        block.plainSize = blockSize;
        if (index < firstRebuilt || index > lastRebuilt) {
            // Unchanged: its stored bytes move as they are; only the next-header offset changes.
            const Block& old = m_blocks[index];
            storage.append(m_storage, old.offset, kBlockHeaderSize + std::size_t{old.storedSize});
            PutLe32(storage.data() + block.offset + 12, static_cast<std::uint32_t>(storage.size()));
        } else if (position <= blockStart && writeEnd >= blockStart + blockSize) {
            appendBlock(storage, source + (blockStart - position), blockSize);
        } else {
            plain.assign(blockSize, '\0');
            if (index < m_blocks.size())
                loadBlock(index, bytesOf(plain));
            const std::uint64_t from = std::max(position, blockStart);
            const std::uint64_t to = std::min(writeEnd, blockStart + blockSize);
            if (from < to)
                std::memcpy(plain.data() + (from - blockStart), source + (from - position), to - from);
            appendBlock(storage, bytesOf(plain), blockSize);
        }
        if (storage.size() > 0xFFFFFFFFu)
            fail("TECLStream.PrepareBufferForWriting - compression error in PrepareBuffer.");
        block.storedSize = GetLe32(storage.data() + block.offset);
        block.crc = GetLe32(storage.data() + block.offset + 8);
        blocks.push_back(block);
    }
    PutLe32(storage.data() + kAtBlockCount, static_cast<std::uint32_t>(newCount));
    m_storage = std::move(storage);
    m_blocks = std::move(blocks);
    m_size = newSize;
}

} // namespace tern
