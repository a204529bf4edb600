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

// True when the server sends pixels of `depth` as 32-bit little-endian 0x..RRGGBB words, the form of
// the picture, so that rows are taken over with only the alpha byte set.
bool RootPixelsAreRgb32(xcb_connection_t* connection, std::uint8_t depth)
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    if (!setup || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST || (depth != 24 && depth != 32))
        return false;
    bool thirtyTwoBits = false;
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem > 0; xcb_format_next(&formats))
        if (formats.data->depth == depth)
            thirtyTwoBits = formats.data->bits_per_pixel == 32 && formats.data->scanline_pad == 32;
    if (!thirtyTwoBits)
        return false;
    for (auto screens = xcb_setup_roots_iterator(setup); screens.rem > 0; xcb_screen_next(&screens))
        for (auto depths = xcb_screen_allowed_depths_iterator(screens.data); depths.rem > 0;
             xcb_depth_next(&depths))
            for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem > 0;
                 xcb_visualtype_next(&visuals))
                if (visuals.data->visual_id == screens.data->root_visual)
                    return visuals.data->red_mask == 0xFF0000U && visuals.data->green_mask == 0xFF00U &&
                           visuals.data->blue_mask == 0xFFU;
    return false;
}

// Reads `area` of the root window into `out` (rows of `outWidth` pixels, `area` placed at `offset`)
// in bands of rows, two requests in flight, with the server grabbed so that the picture is of one
// moment: no copy of the whole area exists beside `out`. False, leaving `out` partly written, when
// the server's pixel form is another or a read fails.
bool ReadRootInBands(xcb_connection_t* connection, xcb_window_t root, std::uint8_t depth, const QRect& area,
                     std::uint32_t* out, QPoint offset, int outWidth)
{
    if (!RootPixelsAreRgb32(connection, depth))
        return false;
    constexpr std::size_t kBandBytes = std::size_t{2} << 20;
    const int bandRows =
        std::max(1, static_cast<int>(kBandBytes / (static_cast<std::size_t>(area.width()) * 4)));
    const auto request = [&](int firstRow) {
        return xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root, static_cast<std::int16_t>(area.x()),
                             static_cast<std::int16_t>(area.y() + firstRow),
                             static_cast<std::uint16_t>(area.width()),
                             static_cast<std::uint16_t>(std::min(bandRows, area.height() - firstRow)), ~0U);
    };
    xcb_grab_server(connection);
    bool complete = true;
    xcb_get_image_cookie_t next = request(0);
    for (int row = 0; row < area.height(); row += bandRows) {
        const xcb_get_image_cookie_t cookie = next;
        if (row + bandRows < area.height())
            next = request(row + bandRows);
        const Reply<xcb_get_image_reply_t> band(xcb_get_image_reply(connection, cookie, nullptr), &std::free);
        const int rows = std::min(bandRows, area.height() - row);
        const std::size_t rowBytes = static_cast<std::size_t>(area.width()) * 4;
        if (!complete || !band ||
            static_cast<std::size_t>(xcb_get_image_data_length(band.get())) < rowBytes * rows) {
            complete = false; // the replies of requests already sent are still read
            continue;
        }
        const auto* in = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(band.get()));
        for (int y = 0; y < rows; ++y) {
            std::uint32_t* target =
                out + static_cast<std::size_t>(offset.y() + row + y) * outWidth + offset.x();
            for (int x = 0; x < area.width(); ++x)
                target[x] = in[static_cast<std::size_t>(y) * area.width() + x] | 0xFF000000U;
        }
    }
    xcb_ungrab_server(connection);
    xcb_flush(connection);
    return complete;
}

// The same through Qt's screen grab, for pixel forms the bands do not take.
bool ReadRootThroughQt(const QRect& area, std::uint32_t* out, QPoint offset, int outWidth)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return false;
    // With no window given, the grab is placed relative to this screen's origin.
    const QRect origin = screen->geometry();
    QImage image =
        screen->grabWindow(0, area.x() - origin.x(), area.y() - origin.y(), area.width(), area.height())
            .toImage();
    if (image.isNull() || image.size() != area.size())
        return false;
    if (image.format() != QImage::Format_RGB32)
        image.convertTo(QImage::Format_RGB32);
    for (int y = 0; y < area.height(); ++y)
        std::memcpy(out + static_cast<std::size_t>(offset.y() + y) * outWidth + offset.x(),
                    image.constScanLine(y), static_cast<std::size_t>(area.width()) * 4);
    return true;
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
    xcb_connection_t* connection = QtConnection();
    if (rect.empty() || !connection)
        return picture;
    // The root window spans the whole virtual desktop; only the part of `rect` on it can be read.
    const xcb_window_t root = QtRootWindow();
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, root), nullptr), &std::free);
    if (!geometry)
        return picture;
    const QRect wanted(rect.left, rect.top, rect.width, rect.height);
    const QRect readable = wanted & QRect(0, 0, geometry->width, geometry->height);

    picture.left = rect.left;
    picture.top = rect.top;
    picture.width = rect.width;
    picture.height = rect.height;
    // Whatever lies off the root window stays black.
    picture.pixels.assign(static_cast<std::size_t>(rect.width) * rect.height, 0xFF000000U);
    if (readable.isEmpty())
        return picture;
    const QPoint offset(readable.x() - rect.left, readable.y() - rect.top);
    if (!ReadRootInBands(connection, root, geometry->depth, readable, picture.pixels.data(), offset,
                         rect.width) &&
        !ReadRootThroughQt(readable, picture.pixels.data(), offset, rect.width))
        return {};
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
