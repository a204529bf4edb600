#pragma once

#include "platform/Bitmap.h"
#include "platform/WindowFocus.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tern::platform {

// A rectangle of the virtual desktop: the bounding box of all monitors, whose top-left corner may lie
// at negative coordinates.
struct ScreenRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool empty() const noexcept { return width <= 0 || height <= 0; }
    bool operator==(const ScreenRect&) const = default;
};

// A captured picture and where it lies on the virtual desktop. Pixels are 32-bit 0xFFRRGGBB values
// (native byte order), rows top-down without padding, so that a screen image takes them unconverted.
struct ScreenPicture
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool empty() const noexcept { return width <= 0 || height <= 0; }
    ScreenRect rect() const noexcept { return {left, top, width, height}; }
};

// The RGB form of a captured picture, as pictures travel to the clipboard and into files.
inline Bitmap ToBitmap(const ScreenPicture& picture)
{
    Bitmap bitmap;
    if (picture.empty() || picture.pixels.size() != static_cast<std::size_t>(picture.width) * picture.height)
        return bitmap;
    bitmap.width = picture.width;
    bitmap.height = picture.height;
    bitmap.rgb.resize(picture.pixels.size() * 3);
    std::uint8_t* out = bitmap.rgb.data();
    for (const std::uint32_t pixel : picture.pixels) {
        *out++ = static_cast<std::uint8_t>(pixel >> 16);
        *out++ = static_cast<std::uint8_t>(pixel >> 8);
        *out++ = static_cast<std::uint8_t>(pixel);
    }
    return bitmap;
}

// Copies of what the screens show. GUI thread only.
class ScreenCapture
{
public:
    virtual ~ScreenCapture() = default;

    // The bounding rectangle of all monitors; empty when no screen is known.
    virtual ScreenRect virtualDesktop() = 0;

    // The pixels of `rect` (virtual-desktop coordinates) as they are now; parts that no monitor
    // shows are black. An empty picture when `rect` is empty or the screen cannot be read.
    virtual ScreenPicture capture(const ScreenRect& rect) = 0;

    // The rectangle of top-level `window` including its window-manager frame, in virtual-desktop
    // coordinates; empty for 0 or a window that no longer exists.
    virtual ScreenRect windowFrameRect(WindowHandle window) = 0;
};

} // namespace tern::platform
