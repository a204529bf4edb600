#pragma once

#include "service/ECLMemoryStream.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tern {

// Largest format (and decoded snapshot item) the snapshot carries, in bytes.
inline constexpr std::uint64_t kMaxFormatBytes = 5'000'000;

// One clipboard format of a snapshot: its number and its data in a payload container keyed with the
// password value given at creation (an empty value: compressed, not enciphered).
class TClipboardFormat
{
public:
    explicit TClipboardFormat(const std::string& password, MonotonicClock clock = {});

    std::uint32_t Format = 0;
    // The container refuses, when opened, a logical length over kMaxFormatBytes.
    TECLMemoryStream Data;

    // Appends one record: marker 0x01, Format, storage length N (all little-endian), the N storage
    // bytes.
    void WriteRecord(std::string& stream) const;
    // Reads one record at `position` (advanced past it) and puts its storage bytes into Data, which
    // opens them. Throws StreamReadError for a record cut short or a negative length, and the
    // container's own errors.
    void ReadRecord(std::string_view stream, std::size_t& position);
};

using ClipboardFormats = std::vector<std::unique_ptr<TClipboardFormat>>;

// The snapshot stream: record count C (signed 32-bit little-endian), then C records.
void SaveSnapshot(const ClipboardFormats& formats, std::string& stream);

// Replaces `formats` with the snapshot at `position` (advanced past it); items are keyed with
// `password`. A count that cannot fit in the bytes left, a record cut short or a negative length
// gives StreamReadError before anything is allocated for it; `formats` then keeps the items read so
// far. A count of 0 or below gives no items.
void LoadSnapshot(std::string_view stream, std::size_t& position, const std::string& password,
                  const MonotonicClock& clock, ClipboardFormats& formats);

} // namespace tern
