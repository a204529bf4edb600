#include "platform/win/WinScreenCapture.h"

#include <dwmapi.h>
#include <windows.h>

#include <cstring>

namespace tern::platform::win {

namespace {

// Releases the GDI objects of one capture whatever happens.
struct CaptureObjects
{
    HDC screen = nullptr;
    HDC memory = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;

    ~CaptureObjects()
    {
        if (previous != nullptr)
            SelectObject(memory, previous);
        if (bitmap != nullptr)
            DeleteObject(bitmap);
        if (memory != nullptr)
            DeleteDC(memory);
        if (screen != nullptr)
            ReleaseDC(nullptr, screen);
    }
};

} // namespace

ScreenRect WinScreenCapture::virtualDesktop()
{
    return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
            GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

ScreenPicture WinScreenCapture::capture(const ScreenRect& rect)
{
    ScreenPicture picture;
    if (rect.empty())
        return picture;
    CaptureObjects objects;
    objects.screen = GetDC(nullptr);
    if (objects.screen == nullptr)
        return picture;
    objects.memory = CreateCompatibleDC(objects.screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = rect.width;
    info.bmiHeader.biHeight = -rect.height; // rows top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    objects.bitmap = CreateDIBSection(objects.screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (objects.memory == nullptr || objects.bitmap == nullptr || bits == nullptr)
        return picture;
    objects.previous = SelectObject(objects.memory, objects.bitmap);
    // Parts that no monitor shows stay as the zeroed section: black.
    if (!BitBlt(objects.memory, 0, 0, rect.width, rect.height, objects.screen, rect.left, rect.top,
                SRCCOPY | CAPTUREBLT))
        return picture;
    GdiFlush();
    picture.left = rect.left;
    picture.top = rect.top;
    picture.width = rect.width;
    picture.height = rect.height;
    picture.pixels.resize(static_cast<std::size_t>(rect.width) * static_cast<std::size_t>(rect.height));
    std::memcpy(picture.pixels.data(), bits, picture.pixels.size() * sizeof(std::uint32_t));
    for (std::uint32_t& pixel : picture.pixels)
        pixel |= 0xFF000000U;
    return picture;
}

ScreenRect WinScreenCapture::windowFrameRect(WindowHandle handle)
{
    const HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle));
    if (handle == 0 || !IsWindow(window))
        return {};
    RECT frame = {};
    if (FAILED(DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &frame, sizeof(frame))) ||
        frame.right <= frame.left) {
        if (!GetWindowRect(window, &frame))
            return {};
    }
    return {frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top};
}

} // namespace tern::platform::win
