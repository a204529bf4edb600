#pragma once

#include <QByteArray>

#include <string>
#include <vector>

class QMimeData;

namespace tern::platform::wayland {

// The MIME types under which clipboard content of ours is offered to other clients: the text under
// the UTF-8 text types and the legacy names X11 programs ask for, a picture as PNG first and then as
// every other image type Qt can write, and every other type as it is.
std::vector<std::string> OfferedTypes(const QMimeData& content);

// The bytes of `content` in `type` (one of OfferedTypes): the text as UTF-8, a picture encoded on
// request, other types as stored. Empty when the type is not offered.
QByteArray OfferedBytes(const QMimeData& content, const std::string& type);

} // namespace tern::platform::wayland
