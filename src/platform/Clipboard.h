#pragma once

#include "platform/Bitmap.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tern::platform {

// Clipboard format numbers shared by every platform.
inline constexpr std::uint32_t kFormatBitmap = 2;       // a picture
inline constexpr std::uint32_t kFormatUnicodeText = 13; // UTF-16LE text with its terminating zero
inline constexpr std::uint32_t kFirstRegisteredFormat = 0xC000;

// One format to put on the clipboard: raw bytes, or the picture for kFormatBitmap.
struct ClipboardEntry
{
    std::uint32_t format = 0;
    std::variant<std::string, Bitmap> data;
};

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

    // Replaces the whole content with `entries` in one step. An empty list leaves the clipboard alone.
    virtual void replace(const std::vector<ClipboardEntry>& entries) = 0;

    // Replaces the whole content with plain text (UTF-8).
    virtual void setText(const std::string& utf8) = 0;

    // A number that changes whenever the clipboard content changes.
    virtual std::uint64_t sequenceNumber() = 0;
};

} // namespace tern::platform
