#pragma once

#include "clipboard/ClipboardFormat.h"
#include "platform/Clipboard.h"
#include "service/MonotonicClock.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace tern {

// Clipboard format numbers the snapshot never carries.
inline constexpr std::uint32_t kFormatText = 1;
inline constexpr std::uint32_t kFormatOemText = 7;
inline constexpr std::uint32_t kFormatDib = 8;
inline constexpr std::uint32_t kFormatDibV5 = 17;
// Formats other than text and the picture shorter than this are not captured.
inline constexpr std::size_t kMinFormatBytes = 20;
inline constexpr int kSnapshotJpegQuality = 90;

// The whole clipboard as a list of formats: captured from the system clipboard, written to and read
// from the snapshot stream, put back on the clipboard; and the clipboard as a share payload.
// GUI thread only.
class TExClipboard
{
public:
    // `password` gives the current password value; each item takes it when the item is created.
    // `clock` times the containers' password checks (empty: the steady clock).
    TExClipboard(platform::SystemClipboard& clipboard, std::function<std::string()> password,
                 MonotonicClock clock = {});

    // In capture (or snapshot) order.
    ClipboardFormats Formats;

    // Replaces Formats with the clipboard's content: first the picture as a JPEG file (format 2),
    // then every other format in the clipboard's order, except text forms that the Unicode text
    // already carries, device-independent bitmaps, empty formats and formats over 5,000,000 bytes;
    // formats other than the Unicode text must hold at least 20 bytes. When the clipboard named some
    // of the numbers itself, the name table follows (see FormatNameTable.h); with an end-to-end key the
    // key scheme record comes last.
    void CaptureAll();
    // Appends the snapshot of Formats to `stream`.
    void SaveToStream(std::string& stream) const;
    // Replaces Formats with the snapshot at `position` of `stream` (see LoadSnapshot); returns the
    // position after it. A name table in the last record is taken out of Formats and names the items
    // on restore.
    std::size_t LoadFromStream(std::string_view stream, std::size_t position = 0);
    // Decodes every item (within kMaxDecodedSnapshotBytes together, pictures within
    // kMaxSnapshotPicturePixels), then replaces the clipboard in one step with those it can take.
    // Any failure happens before the clipboard is touched, which then keeps its content. Returns
    // false, the clipboard unchanged, when there is no item the clipboard can take.
    bool RestoreAll();
    // Appends the share payload of the clipboard to `stream` and returns the share kind: its text as
    // UTF-8 (kShareText), else its picture as JPEG or PNG, whichever is shorter (kShareJpeg,
    // kSharePng), else nothing (kShareNothing).
    int SaveShareable(std::string& stream);

    platform::SystemClipboard& system() noexcept { return m_clipboard; }
    // The end-to-end passphrase (see KeyedSnapshot.h); empty or unset: none. With one, CaptureAll keys
    // its items with the passphrase's key instead of the password value and appends the key scheme
    // record; LoadFromStream opens keyed snapshots with it.
    void SetEndToEndKey(std::function<std::string()> passphrase) { m_passphrase = std::move(passphrase); }

private:
    platform::SystemClipboard& m_clipboard;
    std::function<std::string()> m_password;
    std::function<std::string()> m_passphrase;
    MonotonicClock m_clock;
    // The name table of the snapshot last loaded.
    std::map<std::uint32_t, std::string> m_names;

    std::unique_ptr<TClipboardFormat> newItem(std::uint32_t format, const std::string& keyValue) const;
};

} // namespace tern
