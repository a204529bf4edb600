#include "platform/wayland/WaylandScreenCapture.h"

#include "platform/wayland/WaylandSession.h"
#include "platform/wayland/WaylandWindowHandles.h"

#include "wlr-screencopy-unstable-v1-client-protocol.h"

#include <QCursor>
#include <QImage>

#include <wayland-client.h>

#include <algorithm>
#include <climits>

#include <sys/mman.h>
#include <unistd.h>

namespace tern::platform::wayland {

namespace {

// One output's copy as the compositor describes and delivers it.
struct Frame
{
    std::uint32_t format = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t stride = 0;
    bool described = false;
    bool yInverted = false;
    bool ready = false;
    bool failed = false;
};

void onBuffer(void* data, zwlr_screencopy_frame_v1*, std::uint32_t format, std::uint32_t width,
              std::uint32_t height, std::uint32_t stride)
{
    auto* frame = static_cast<Frame*>(data);
    frame->format = format;
    frame->width = width;
    frame->height = height;
    frame->stride = stride;
    frame->described = true;
}
void onFlags(void* data, zwlr_screencopy_frame_v1*, std::uint32_t flags)
{
    static_cast<Frame*>(data)->yInverted = (flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT) != 0;
}
void onReady(void* data, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t)
{
    static_cast<Frame*>(data)->ready = true;
}
void onFailed(void* data, zwlr_screencopy_frame_v1*)
{
    static_cast<Frame*>(data)->failed = true;
}
constexpr zwlr_screencopy_frame_v1_listener kFrame = {onBuffer, onFlags, onReady, onFailed,
                                                      nullptr,  nullptr, nullptr};

// The Qt format of the shared-memory formats whose bytes Qt reads as they are.
QImage::Format imageFormatOf(std::uint32_t format)
{
    switch (format) {
    case WL_SHM_FORMAT_XRGB8888:
    case WL_SHM_FORMAT_ARGB8888:
        return QImage::Format_RGB32;
    case WL_SHM_FORMAT_XBGR8888:
    case WL_SHM_FORMAT_ABGR8888:
        return QImage::Format_RGBX8888;
    default:
        return QImage::Format_Invalid;
    }
}

// Shared memory the compositor copies into, unmapped and closed on scope exit.
class SharedMemory
{
public:
    explicit SharedMemory(std::size_t size) : m_size(size)
    {
        m_fd = ::memfd_create("tern-screen", MFD_CLOEXEC);
        if (m_fd < 0 || ::ftruncate(m_fd, static_cast<off_t>(size)) != 0)
            return;
        void* mapped = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, 0);
        m_data = mapped == MAP_FAILED ? nullptr : static_cast<unsigned char*>(mapped);
    }
    ~SharedMemory()
    {
        if (m_data)
            ::munmap(m_data, m_size);
        if (m_fd >= 0)
            ::close(m_fd);
    }
    SharedMemory(const SharedMemory&) = delete;
    SharedMemory& operator=(const SharedMemory&) = delete;

    int fd() const { return m_fd; }
    const unsigned char* data() const { return m_data; }

private:
    std::size_t m_size = 0;
    int m_fd = -1;
    unsigned char* m_data = nullptr;
};

} // namespace

QImage CopyOutput(WaylandSession& session, const WaylandOutput& output)
{
    if (session.screencopy() == nullptr || session.shm() == nullptr)
        return {};
    Frame frame;
    zwlr_screencopy_frame_v1* copy =
        zwlr_screencopy_manager_v1_capture_output(session.screencopy(), 0, output.output);
    zwlr_screencopy_frame_v1_add_listener(copy, &kFrame, &frame);
    QImage picture;
    const auto settled = [&frame] { return frame.described || frame.failed; };
    const QImage::Format format = QImage::Format_Invalid;
    if (session.serveUntil(settled, WaylandScreenCapture::kCopyTimeoutMs) && frame.described &&
        imageFormatOf(frame.format) != format && frame.width > 0 && frame.height > 0 &&
        frame.width <= INT_MAX / 4 && frame.stride >= frame.width * 4 &&
        frame.height <= INT_MAX / frame.stride) {
        const std::size_t size = static_cast<std::size_t>(frame.stride) * frame.height;
        SharedMemory memory(size);
        if (memory.data() != nullptr) {
            wl_shm_pool* pool =
                wl_shm_create_pool(session.shm(), memory.fd(), static_cast<std::int32_t>(size));
            wl_buffer* buffer = wl_shm_pool_create_buffer(
                pool, 0, static_cast<std::int32_t>(frame.width), static_cast<std::int32_t>(frame.height),
                static_cast<std::int32_t>(frame.stride), frame.format);
            zwlr_screencopy_frame_v1_copy(copy, buffer);
            const bool done = session.serveUntil([&frame] { return frame.ready || frame.failed; },
                                                 WaylandScreenCapture::kCopyTimeoutMs);
            if (done && frame.ready) {
                // A deep copy: the shared memory goes when this scope ends.
                picture = QImage(memory.data(), static_cast<int>(frame.width), static_cast<int>(frame.height),
                                 static_cast<qsizetype>(frame.stride), imageFormatOf(frame.format))
                              .convertToFormat(QImage::Format_RGB32)
                              .copy();
                if (frame.yInverted)
                    picture = picture.mirrored(false, true);
            }
            wl_buffer_destroy(buffer);
            wl_shm_pool_destroy(pool);
        }
    }
    zwlr_screencopy_frame_v1_destroy(copy);
    if (!picture.isNull() && (picture.width() != output.width() || picture.height() != output.height()))
        picture =
            picture.scaled(output.width(), output.height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return picture;
}

WaylandScreenCapture::WaylandScreenCapture() : m_session(WaylandSession::shared()) {}

ScreenRect WaylandScreenCapture::virtualDesktop()
{
    if (!m_session)
        return {};
    m_session->serveArrived();
    int left = INT_MAX;
    int top = INT_MAX;
    int right = INT_MIN;
    int bottom = INT_MIN;
    for (const auto& output : m_session->outputs()) {
        if (output->width() <= 0 || output->height() <= 0)
            continue;
        left = std::min(left, output->x);
        top = std::min(top, output->y);
        right = std::max(right, output->x + output->width());
        bottom = std::max(bottom, output->y + output->height());
    }
    if (left >= right || top >= bottom)
        return {};
    return {left, top, right - left, bottom - top};
}

ScreenPicture WaylandScreenCapture::capture(const ScreenRect& rect)
{
    if (!m_session || rect.empty() || !m_session->healthy())
        return {};
    m_session->serveArrived();
    ScreenPicture picture{rect.left, rect.top, rect.width, rect.height, {}};
    picture.pixels.assign(static_cast<std::size_t>(rect.width) * rect.height, 0xFF000000U);
    for (const auto& output : m_session->outputs()) {
        const int left = std::max(rect.left, output->x);
        const int top = std::max(rect.top, output->y);
        const int right = std::min(rect.left + rect.width, output->x + output->width());
        const int bottom = std::min(rect.top + rect.height, output->y + output->height());
        if (left >= right || top >= bottom)
            continue;
        const QImage shown = CopyOutput(*m_session, *output);
        if (shown.isNull())
            return {};
        for (int y = top; y < bottom; ++y) {
            const auto* from = reinterpret_cast<const std::uint32_t*>(shown.constScanLine(y - output->y));
            std::uint32_t* to = picture.pixels.data() + static_cast<std::size_t>(y - rect.top) * rect.width;
            for (int x = left; x < right; ++x)
                to[x - rect.left] = from[x - output->x] | 0xFF000000U;
        }
    }
    return picture;
}

ScreenRect WaylandScreenCapture::windowFrameRect(WindowHandle window)
{
    if (!m_session)
        return {};
    m_session->serveArrived();
    return HandleRect(*m_session, window);
}

WindowHandle OutputUnderPointer(const WaylandSession& session)
{
    const QPoint pointer = QCursor::pos();
    const WaylandOutput* chosen = nullptr;
    for (const auto& output : session.outputs()) {
        const bool under = pointer.x() >= output->x && pointer.x() < output->x + output->width() &&
                           pointer.y() >= output->y && pointer.y() < output->y + output->height();
        if (chosen == nullptr || under)
            chosen = output.get();
        if (under)
            break;
    }
    return chosen ? kOutputHandle + chosen->globalName : 0;
}

ScreenRect HandleRect(const WaylandSession& session, WindowHandle window)
{
    const WaylandOutput* output = nullptr;
    if (window >= kOutputHandle) {
        for (const auto& known : session.outputs()) {
            if (kOutputHandle + known->globalName == window)
                output = known.get();
        }
    } else {
        for (const auto& toplevel : session.toplevels()) {
            if (toplevel->id == window && !toplevel->closed && !toplevel->outputs.empty())
                output = session.outputOf(toplevel->outputs.front());
        }
    }
    if (output == nullptr)
        return {};
    return {output->x, output->y, output->width(), output->height()};
}

} // namespace tern::platform::wayland
