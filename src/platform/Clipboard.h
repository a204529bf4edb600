#pragma once

#include "platform/Bitmap.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace tern::platform {

// Clipboard format numbers shared by every platform.
inline constexpr std::uint32_t kFormatBitmap = 2;       // a picture
inline constexpr std::uint32_t kFormatUnicodeText = 13; // UTF-16LE text with its terminating zero
inline constexpr std::uint32_t kFirstRegisteredFormat = 0xC000;
// The number of the snapshot record that names the formats a capturing system numbered itself; it
// is never a clipboard format of its own (see clipboard/FormatNameTable.h).
inline constexpr std::uint32_t kFormatNameTable = 0xF0FF;

// One format to put on the clipboard: raw bytes, or the picture for kFormatBitmap.
struct ClipboardEntry
{
    ClipboardEntry() = default;
    ClipboardEntry(std::uint32_t number, std::variant<std::string, Bitmap> bytes, std::string typeName = {})
        : format(number), data(std::move(bytes)), name(std::move(typeName))
    {
    }

    std::uint32_t format = 0;
    std::variant<std::string, Bitmap> data;
    // The type name the capturing system gave this number (from the snapshot's name table); empty when
    // the number alone says what the format is.
    std::string name;
};

// Frees the bytes or the picture of `entry` (its number and name stay).
inline void ReleaseEntryData(ClipboardEntry& entry)
{
    // A swap hands the buffer to a temporary that frees it; assigning an empty value could keep it.
    std::variant<std::string, Bitmap> freed;
    entry.data.swap(freed);
}

// The system clipboard as numbered formats. GUI thread only. Operations that cannot reach the
// clipboard throw tern::Error("Cannot open clipboard").
class SystemClipboard
{
public:
    virtual ~SystemClipboard() = default;

    // The format numbers on offer now, in the owner's order, each once. Formats the platform does not
    // map to a number are left out.
    virtual std::vector<std::uint32_t> formats() = 0;

    virtual bool hasFormat(std::uint32_t format) = 0;

    // The bytes of a format other than kFormatBitmap (for kFormatUnicodeText: UTF-16LE with the
    // terminating zero); nothing when it is not on offer or cannot be read.
    virtual std::optional<std::string> data(std::uint32_t format) = 0;

    // The picture on offer, read once; nothing when there is none.
    virtual std::optional<Bitmap> bitmap() = 0;

    // The type name a snapshot must carry for `format` so that another system can put it back: set
    // only for numbers this system gave out itself to types outside its fixed table; empty otherwise.
    virtual std::string formatName(std::uint32_t format) = 0;

    // Replaces the whole content in one step with those of `entries` this system can put on its
    // clipboard (known numbers, or known names), in their order. Returns false, leaving the clipboard
    // as it was, when none of them can be put (an empty list included). The entries are taken: each
    // is freed as soon as the clipboard's own copy of it is made, so that an item is never held more
    // than twice at once (callers move large entries in).
    virtual bool replace(std::vector<ClipboardEntry> entries) = 0;

    // Replaces the whole content with plain text (UTF-8).
    virtual void setText(const std::string& utf8) = 0;

    // A number that changes whenever the clipboard content changes.
    virtual std::uint64_t sequenceNumber() = 0;
};

} // namespace tern::platform
