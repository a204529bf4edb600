#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tern::server {

// The kind of a shared item as the client names it in the "tp" value.
enum class ShareKind { Nothing = 0, Text = 1, Jpeg = 2, Png = 3 };

constexpr std::size_t kMaxSnapshotBytes = 1000000;
constexpr std::size_t kMaxShareBytes = 5000000;
constexpr std::size_t kMaxSnapshotRecords = 1024;
constexpr std::uint64_t kMaxFormatBytes = 5000000;

// The kind for a "tp" value: a decimal 0..3 without sign or padding, else nullopt.
std::optional<ShareKind> ParseShareKind(std::string_view text) noexcept;

// Whether `data` can be served as `kind`: text is any bytes, an image must start with its file
// signature, and nothing is not shareable.
bool PayloadMatchesKind(ShareKind kind, std::string_view data) noexcept;

// Whether `bytes` is a well-formed snapshot: a non-negative little-endian 32-bit record count, then
// that many records (marker byte, format, non-negative length, that many bytes), and nothing after.
bool IsSnapshotStream(std::string_view bytes) noexcept;

// Whether every client can restore the well-formed snapshot `bytes`: at most kMaxSnapshotRecords
// records, and no record whose data is longer than kMaxFormatBytes once unpacked (read from the
// payload containers' block headers, which are not enciphered).
bool SnapshotWithinClientLimits(std::string_view bytes) noexcept;

// A shared text as UTF-8 fit for display: cut at the first zero byte (the clipboard's terminator and
// whatever followed it), surrogate pairs written as two 3-byte halves joined into one character, and
// malformed bytes replaced by U+FFFD.
std::string ShareTextForDisplay(std::string_view bytes);

// The file extension of the raw item's own link: "txt", "jpg" or "png"; empty for nothing.
std::string_view RawExtension(ShareKind kind) noexcept;

// The Content-Type the raw item is served with.
std::string_view RawContentType(ShareKind kind) noexcept;

} // namespace tern::server
