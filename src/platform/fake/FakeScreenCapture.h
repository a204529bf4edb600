#pragma once

#include "platform/ScreenCapture.h"

#include <map>

namespace tern::platform::fake {

// A frozen desktop: `desktop` is what the screens show, `frames` the window rectangles. Captures
// crop from `desktop` (black outside it) and are counted.
class FakeScreenCapture final : public ScreenCapture
{
public:
    ScreenRect virtualDesktop() override { return desktop.rect(); }

    ScreenPicture capture(const ScreenRect& rect) override
    {
        ++captures;
        ScreenPicture picture;
        if (rect.empty())
            return picture;
        picture.left = rect.left;
        picture.top = rect.top;
        picture.width = rect.width;
        picture.height = rect.height;
        picture.pixels.assign(static_cast<std::size_t>(rect.width) * rect.height, 0xFF000000U);
        for (int y = 0; y < rect.height; ++y) {
            const int sy = rect.top + y - desktop.top;
            if (sy < 0 || sy >= desktop.height)
                continue;
            for (int x = 0; x < rect.width; ++x) {
                const int sx = rect.left + x - desktop.left;
                if (sx >= 0 && sx < desktop.width)
                    picture.pixels[static_cast<std::size_t>(y) * rect.width + x] =
                        desktop.pixels[static_cast<std::size_t>(sy) * desktop.width + sx];
            }
        }
        return picture;
    }

    ScreenRect windowFrameRect(WindowHandle window) override
    {
        const auto found = frames.find(window);
        return found == frames.end() ? ScreenRect{} : found->second;
    }

    ScreenPicture desktop;
    std::map<WindowHandle, ScreenRect> frames;
    int captures = 0;
};

} // namespace tern::platform::fake
