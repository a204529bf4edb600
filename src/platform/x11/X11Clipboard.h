#pragma once

#include "platform/Clipboard.h"

#include <QMetaObject>

#include <string>
#include <string_view>

class QMimeData;

namespace tern::platform::x11 {

// The CLIPBOARD selection through Qt. Format 13 is the text (read from the UTF-8 text targets, given
// out as UTF-16LE with its terminating zero), format 2 the picture of the image types Qt can offer a
// picture as, and the MIME types of MimeFormatTable carry their fixed numbers. Every other target
// except the X11 bookkeeping and legacy text targets gets a number of this process's own range
// (kFirstOwnFormat up), whose name formatName() gives for the snapshot's name table; on restore an
// entry's name puts such a type back under the same name.
// Needs a QGuiApplication; GUI thread only. Reads wait for the owner inside Qt with Qt's time-out; a
// selection we own ourselves is answered without asking the X server.
class X11Clipboard final : public SystemClipboard
{
public:
    // Throws tern::Error("Cannot open clipboard") when there is no QGuiApplication.
    X11Clipboard();
    ~X11Clipboard() override;
    X11Clipboard(const X11Clipboard&) = delete;
    X11Clipboard& operator=(const X11Clipboard&) = delete;

    std::vector<std::uint32_t> formats() override;
    bool hasFormat(std::uint32_t format) override;
    std::optional<std::string> data(std::uint32_t format) override;
    std::optional<Bitmap> bitmap() override;
    std::string formatName(std::uint32_t format) override;
    // Entries whose number has no X11 type and whose name cannot be offered are left out. Throws
    // tern::Error before touching the clipboard when an entry cannot be converted, and "Cannot open
    // clipboard" when the selection could not be taken.
    bool replace(std::vector<ClipboardEntry> entries) override;
    void setText(const std::string& utf8) override;
    // Counts the changes the event loop has delivered (QClipboard::dataChanged, from XFixes), our own
    // included: the number moves only while the GUI thread processes events.
    std::uint64_t sequenceNumber() override;

    // The format number a clipboard target stands for; nothing for targets that are not captured.
    static std::optional<std::uint32_t> formatOfTarget(std::string_view target);
    // True when a type travelling by name can be offered under that name here.
    static bool isRestorableName(std::string_view name);

private:
    const QMimeData* currentData() const;

    QMetaObject::Connection m_changed;
    std::uint64_t m_sequence = 1;
};

} // namespace tern::platform::x11
