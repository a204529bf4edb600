#pragma once

#include "service/MonotonicClock.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tern {

class EclCipher;

inline constexpr std::uint64_t EclNoLimit = std::numeric_limits<std::uint64_t>::max();

// The password checks of one piece of work, such as the containers of one snapshot: the timed part
// of the check is spent once per password value, so that a snapshot of many formats costs one wait.
// Containers under one password value carry identical check blocks, so one passed check proves them
// all; every container still compares its own check block. Not thread-safe: one owner at a time.
class EclPasswordChecks
{
public:
    bool Timed(const std::string& password) const;
    // Records that a check under `password` spent its full time and passed.
    void MarkTimed(const std::string& password);
    // How many checks spent the full time (once per password value).
    int TimedCount() const noexcept { return m_timedCount; }

private:
    std::vector<std::string> m_timed;
    int m_timedCount = 0;
};

// How a payload container is opened.
struct EclOptions
{
    MonotonicClock clock;                      // times the password check (empty: the steady clock)
    std::uint64_t maxLogicalSize = EclNoLimit; // opening refuses a longer logical length
    // Shared by the containers of one snapshot; empty: every opening spends the full check time.
    std::shared_ptr<EclPasswordChecks> checks;
    // Waits out the rest of the check time (empty: std::this_thread::sleep_for).
    std::function<void(std::chrono::nanoseconds)> sleep;
    // Whether storage that does not hold the container format is taken as plain data; when false,
    // opening it fails.
    bool plainAllowed = true;
};

// A payload held compressed and (with a password value) enciphered in memory, in the block
// container format. Two views: the logical data (plain bytes, written and read by position) and the
// storage (the container bytes, taken out and put in whole).
//
// Storage layout, little-endian: a 128-byte header ("AACS", block size, check CRC, block count,
// format number 3.0f, level, reserved, enciphered flag, extra header bytes, reserved, the 100-byte
// check block), extra header bytes, then the blocks, each a 16-byte header (stored size, plain size,
// CRC of the plain bytes, offset of the next block header) and its stored bytes (compressed, then
// enciphered). The same data and password value always give the same storage bytes.
//
// Storage put in from outside is untrusted: every size, count and offset is checked before it is
// used; a storage that does not hold the container format is taken as plain data unless the options
// refuse it. Errors are
// tern::Error with texts fit for the user.
class TECLMemoryStream
{
public:
    static constexpr std::size_t kHeaderSize = 128;
    static constexpr std::size_t kBlockHeaderSize = 16;
    static constexpr std::size_t kCheckBlockSize = 100;
    static constexpr std::uint32_t kBlockSize = 1048576;
    static constexpr std::uint8_t kLevelStored = 0;     // blocks kept uncompressed
    static constexpr std::uint8_t kLevelCompressed = 2; // zlib level 5
    // Opening enciphered storage put in from outside spends at least this long on its password check
    // (sleeping, not computing), once per password value when the containers share EclPasswordChecks.
    // A container opening the header it has just built itself does not check.
    static constexpr std::chrono::milliseconds kCheckDuration{256};
    static constexpr std::uint64_t kNoLimit = EclNoLimit;
    using Options = EclOptions;

    // An empty container (header only) keyed with `password` (the password value; empty: not
    // enciphered), then opened. `level` is kLevelCompressed or kLevelStored.
    explicit TECLMemoryStream(std::string password, std::uint32_t extraHeaderSize = 0,
                              std::uint8_t level = kLevelCompressed, Options options = {});
    ~TECLMemoryStream();
    TECLMemoryStream(const TECLMemoryStream&) = delete;
    TECLMemoryStream& operator=(const TECLMemoryStream&) = delete;

    // --- logical view
    std::uint64_t Size() const noexcept { return m_size; }
    // Copies up to `count` bytes from `position`; returns how many were there.
    std::size_t Read(std::uint64_t position, void* buffer, std::size_t count) const;
    // The whole logical data.
    std::string ReadAll() const;
    // Writes `count` bytes at `position`, extending the data (a gap reads as zero bytes). Every block
    // the write touches is rebuilt; the storage is rewritten.
    void Write(std::uint64_t position, const void* data, std::size_t count);
    void Write(std::uint64_t position, std::string_view data) { Write(position, data.data(), data.size()); }

    // --- storage view
    const std::string& Storage() const noexcept { return m_storage; }
    // Replaces the storage with `bytes` and opens it. On an error the container is left empty
    // (logical length 0) and the error passes on.
    void SetStorage(std::string bytes);

    // True when the storage holds the container format (not plain data).
    bool IsContainer() const noexcept { return !m_plain; }
    bool IsEnciphered() const noexcept { return m_enciphered; }
    std::uint32_t BlockCount() const noexcept { return static_cast<std::uint32_t>(m_blocks.size()); }

private:
    struct Block
    {
        std::uint64_t offset = 0; // of the block header in the storage
        std::uint32_t storedSize = 0;
        std::uint32_t plainSize = 0;
        std::uint32_t crc = 0;
        std::uint64_t logicalStart = 0;
    };

    std::string m_password;
    Options m_options;
    std::unique_ptr<EclCipher> m_cipher; // made once from m_password when it is not empty
    std::string m_storage;
    bool m_plain = false;
    bool m_enciphered = false;
    std::uint8_t m_level = kLevelCompressed;
    std::uint32_t m_extraHeaderSize = 0;
    std::vector<Block> m_blocks;
    std::uint64_t m_size = 0;

    // `ownHeader`: the storage is the header the constructor has just built, so the password check is
    // skipped.
    void open(bool ownHeader = false);
    void checkPassword();
    const EclCipher& cipher() const;
    std::uint64_t firstBlockOffset() const noexcept { return kHeaderSize + std::uint64_t{m_extraHeaderSize}; }
    // Reads, deciphers, decompresses and checks block `index` into `target` (its plain size).
    void loadBlock(std::size_t index, std::uint8_t* target) const;
    // Appends a block header and the stored form of `plain` to `storage`.
    void appendBlock(std::string& storage, const std::uint8_t* plain, std::uint32_t size) const;
    void writePlain(std::uint64_t position, const void* data, std::size_t count);
};

} // namespace tern
