#pragma once

#include "platform/Clipboard.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QMimeData;

namespace tern::platform::qt {

// The format numbers of the MIME types that desktop clipboards on Linux (X11 targets, Wayland offers)
// carry. Format 13 is the text (the UTF-8 text types), format 2 the picture of the image types Qt can
// write, and the MIME types of MimeFormatTable carry their fixed numbers. Every other type except the
// X11 bookkeeping and legacy text targets gets a number of this process's own range (kFirstOwnFormat
// up), in the order the process first meets it; OwnFormatName gives its name back.
std::optional<std::uint32_t> FormatOfMimeType(std::string_view type);
std::string OwnFormatName(std::uint32_t format);
// True when a type travelling by name can be offered under that name: a carriable MIME type that the
// capture would have kept as its own format (never the text, the picture or the bookkeeping targets).
bool IsRestorableTypeName(std::string_view name);

// The types that stand for format 13 and for format 2.
bool IsTextType(const QString& type);
bool IsImageType(const QString& type);

// The text as UTF-16LE code units followed by a zero unit.
std::string Utf16LeWithZero(const QString& text);
// The UTF-16LE text up to its first zero unit (or all of it); a trailing odd byte is dropped.
QString TextOfUtf16Le(const std::string& bytes);

// The clipboard content of `entries` that this system can offer: text, picture (as Qt's image data),
// the types of the table, restorable names, and the Linux form of entries copied on Windows. Nullptr
// when none can be offered. Throws tern::Error("Invalid clipboard data") when an entry's data does not
// fit its format. Each entry is freed once its Qt form is made (a converted one once its Linux form
// is), so that no item is held more than twice at once.
std::unique_ptr<QMimeData> MimeDataOfEntries(std::vector<ClipboardEntry> entries);

} // namespace tern::platform::qt
