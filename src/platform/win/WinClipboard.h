#pragma once

#include "platform/Clipboard.h"
#include "platform/win/MessageWindow.h"

namespace tern::platform::win {

// The Windows clipboard under its own format numbers. Format 2 is the picture, read from the
// device-independent bitmap (which Windows also offers for a CF_BITMAP) and put as one; registered
// formats (0xC000 up) are named for the snapshot by their registered names and put back under the
// number their name has here. Entries a Linux capture made in its own types are put in their Windows
// forms (clipboard/CrossSystemFormats.h). Formats whose data is a drawing-object handle rather than
// memory (bitmaps, palettes, metafiles) are never read as bytes. Each call opens and closes the
// clipboard; a window of ours owns what we put there. GUI thread only.
class WinClipboard final : public SystemClipboard
{
public:
    // Throws tern::Error("Cannot open clipboard") when the owner window cannot be created.
    WinClipboard();

    std::vector<std::uint32_t> formats() override;
    bool hasFormat(std::uint32_t format) override;
    std::optional<std::string> data(std::uint32_t format) override;
    std::optional<Bitmap> bitmap() override;
    std::string formatName(std::uint32_t format) override;
    // A registered number without a name is left out: its meaning belonged to the capturing session.
    // Throws tern::Error before touching the clipboard when an entry cannot be converted, and "Cannot
    // open clipboard" when the clipboard cannot be opened or a format cannot be put.
    bool replace(std::vector<ClipboardEntry> entries) override;
    void setText(const std::string& utf8) override;
    // The system's clipboard sequence number.
    std::uint64_t sequenceNumber() override;

    // True for the standard formats whose data is a drawing-object handle.
    static bool isHandleFormat(std::uint32_t format);

private:
    MessageWindow m_owner;
};

} // namespace tern::platform::win
