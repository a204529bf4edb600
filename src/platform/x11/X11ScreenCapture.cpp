#include "platform/x11/X11ScreenCapture.h"

#include "platform/x11/X11Session.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace tern::platform::x11 {

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

struct FrameExtents
{
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

FrameExtents ReadFrameExtents(xcb_connection_t* connection, xcb_window_t window)
{
    FrameExtents extents;
    const xcb_atom_t atom = InternAtom(connection, "_NET_FRAME_EXTENTS");
    if (atom == 0)
        return extents;
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, atom, XCB_ATOM_CARDINAL, 0, 4), nullptr),
        &std::free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 16)
        return extents;
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    // Extents beyond any screen size are nonsense from a confused client: ignore them.
    constexpr std::uint32_t kMaxExtent = 4096;
    if (values[0] > kMaxExtent || values[1] > kMaxExtent || values[2] > kMaxExtent || values[3] > kMaxExtent)
        return extents;
    extents.left = static_cast<int>(values[0]);
    extents.right = static_cast<int>(values[1]);
    extents.top = static_cast<int>(values[2]);
    extents.bottom = static_cast<int>(values[3]);
    return extents;
}

} // namespace

ScreenRect X11ScreenCapture::virtualDesktop()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QRect area = screen->virtualGeometry();
    return {area.x(), area.y(), area.width(), area.height()};
}

ScreenPicture X11ScreenCapture::capture(const ScreenRect& rect)
{
    ScreenPicture picture;
    QScreen* screen = QGuiApplication::primaryScreen();
    xcb_connection_t* connection = QtConnection();
    if (rect.empty() || !screen || !connection)
        return picture;
    // The root window spans the whole virtual desktop; only the part of `rect` on it can be read.
    const Reply<xcb_get_geometry_reply_t> root(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, QtRootWindow()), nullptr),
        &std::free);
    if (!root)
        return picture;
    const QRect wanted(rect.left, rect.top, rect.width, rect.height);
    const QRect readable = wanted & QRect(0, 0, root->width, root->height);

    std::vector<std::uint32_t> pixels;
    if (!readable.isEmpty()) {
        // With no window given, the grab is placed relative to this screen's origin.
        const QRect origin = screen->geometry();
        QImage image = screen
                           ->grabWindow(0, readable.x() - origin.x(), readable.y() - origin.y(),
                                        readable.width(), readable.height())
                           .toImage();
        if (image.isNull() || image.size() != readable.size())
            return picture;
        if (image.format() != QImage::Format_RGB32)
            image.convertTo(QImage::Format_RGB32);
        pixels.resize(static_cast<std::size_t>(readable.width()) * readable.height());
        for (int y = 0; y < readable.height(); ++y)
            std::memcpy(pixels.data() + static_cast<std::size_t>(y) * readable.width(),
                        image.constScanLine(y), static_cast<std::size_t>(readable.width()) * 4);
    }

    picture.left = rect.left;
    picture.top = rect.top;
    picture.width = rect.width;
    picture.height = rect.height;
    if (readable == wanted) {
        picture.pixels = std::move(pixels);
        return picture;
    }
    // Whatever lies off the root window stays black.
    picture.pixels.assign(static_cast<std::size_t>(rect.width) * rect.height, 0xFF000000U);
    for (int y = 0; y < readable.height(); ++y)
        std::memcpy(picture.pixels.data() +
                        static_cast<std::size_t>(readable.y() - rect.top + y) * rect.width +
                        (readable.x() - rect.left),
                    pixels.data() + static_cast<std::size_t>(y) * readable.width(),
                    static_cast<std::size_t>(readable.width()) * 4);
    return picture;
}

ScreenRect X11ScreenCapture::windowFrameRect(WindowHandle window)
{
    xcb_connection_t* connection = QtConnection();
    if (!connection || window == 0 || window > 0xFFFFFFFFU)
        return {};
    const auto target = static_cast<xcb_window_t>(window);
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, target), nullptr), &std::free);
    if (!geometry)
        return {};
    const Reply<xcb_translate_coordinates_reply_t> position(
        xcb_translate_coordinates_reply(
            connection, xcb_translate_coordinates(connection, target, geometry->root, 0, 0), nullptr),
        &std::free);
    if (!position)
        return {};
    const FrameExtents frame = ReadFrameExtents(connection, target);
    const int border = geometry->border_width;
    return {position->dst_x - border - frame.left, position->dst_y - border - frame.top,
            geometry->width + 2 * border + frame.left + frame.right,
            geometry->height + 2 * border + frame.top + frame.bottom};
}

} // namespace tern::platform::x11
