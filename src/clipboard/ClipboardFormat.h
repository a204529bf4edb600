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
// Most records one snapshot holds; a snapshot that claims more is refused before it is read.
inline constexpr std::int32_t kMaxSnapshotRecords = 1024;
// What reading and restoring one snapshot may decode: all items' data together, a picture counted at
// four bytes a pixel (its form on the clipboard). The clipboard takes a second copy of each item, so a
// restore holds at most about twice this, whatever the snapshot claims.
inline constexpr std::uint64_t kMaxDecodedSnapshotBytes = std::uint64_t{64} << 20;
inline constexpr std::uint64_t kSnapshotPictureBytesPerPixel = 4;
// Two 4K screens side by side (7680 x 2160) fit.
inline constexpr std::uint64_t kMaxSnapshotPicturePixels =
    kMaxDecodedSnapshotBytes / kSnapshotPictureBytesPerPixel;

// One clipboard format of a snapshot: its number and its data in a payload container keyed with the
// password value given at creation (an empty value: compressed, not enciphered).
class TClipboardFormat
{
public:
    // `checks`, when given, is shared with the other items of one snapshot (see EclPasswordChecks).
    explicit TClipboardFormat(const std::string& password, MonotonicClock clock = {},
                              std::shared_ptr<EclPasswordChecks> checks = {});

    std::uint32_t Format = 0;
    // The container refuses, when opened, a logical length over kMaxFormatBytes.
    TECLMemoryStream Data;

    // Appends one record: marker 0x01, Format, storage length N (all little-endian), the N storage
    // bytes.
    void WriteRecord(std::string& stream) const;
    // Reads one record at `position` (advanced past it) and puts its storage bytes into Data, which
    // opens them; a length of 0 leaves Data empty. Throws StreamReadError for a record cut short or a
    // negative length, and the container's own errors, among them one for bytes that are not a
    // container.
    void ReadRecord(std::string_view stream, std::size_t& position);
};

using ClipboardFormats = std::vector<std::unique_ptr<TClipboardFormat>>;

// The snapshot stream: record count C (signed 32-bit little-endian), then C records.
void SaveSnapshot(const ClipboardFormats& formats, std::string& stream);

// Replaces `formats` with the snapshot at `position` (advanced past it); items are keyed with
// `password`. A count over kMaxSnapshotRecords or one that cannot fit in the bytes left, a record cut
// short or a negative length gives StreamReadError before anything is allocated for it; items whose
// data together exceed kMaxDecodedSnapshotBytes give tern::Error before any is decoded; `formats`
// then keeps the items read so far. A count of 0 or below gives no items. The items share one
// password check (`checks`; empty: a new one), so the snapshot costs one timed check.
void LoadSnapshot(std::string_view stream, std::size_t& position, const std::string& password,
                  const MonotonicClock& clock, ClipboardFormats& formats,
                  std::shared_ptr<EclPasswordChecks> checks = {});

} // namespace tern
