#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tern {

// The numbers the X11 clipboard gives, in the order it first meets them, to every other type it
// captures (they mean something only together with the snapshot's name table). Apart from the fixed
// block (0xF000 to 0xF0FF).
inline constexpr std::uint32_t kFirstOwnFormat = 0xE000;
inline constexpr std::uint32_t kLastOwnFormat = 0xEFFF;
// The block of the fixed table below (its last number is the snapshot's name table record).
inline constexpr std::uint32_t kFirstFixedFormat = 0xF000;
inline constexpr std::uint32_t kLastFixedFormat = 0xF0FF;

// One MIME type that the X11 clipboard carries under a fixed registered format number.
struct MimeFormat
{
    std::uint32_t format;
    std::string_view mime; // lower case, as offered on the X11 clipboard
};

// Every MIME type captured from and restored onto the X11 clipboard besides the text and the picture,
// with its format number. The numbers travel inside snapshots to other computers and back: they are
// the same on every installation and a number, once shipped, never changes or moves to another type.
// New types are appended with the next free number.
std::span<const MimeFormat> MimeFormats();

// The format number of `mime` (compared without regard to case); nothing when it is not in the table.
std::optional<std::uint32_t> FormatForMime(std::string_view mime);

// The MIME type of a registered format number; nothing when the number is not in the table.
std::optional<std::string_view> MimeForFormat(std::uint32_t format);

} // namespace tern
