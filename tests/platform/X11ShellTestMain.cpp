// The shell-service tests (hotkeys, injected keys, window focus, remote control) run against the X
// server named by DISPLAY, best under a window manager; without a server those tests are skipped.
#include "X11ShellTestSupport.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include <xcb/xcb.h>

namespace {

bool g_display = false;

// Qt ends the process when it cannot reach the display, so the server is tried first.
bool DisplayReachable()
{
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0')
        return false;
    xcb_connection_t* connection = xcb_connect(display, nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reachable;
}

} // namespace

bool tern::test::ShellDisplay()
{
    return g_display;
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QGuiApplication> application;
    if (!testing::GTEST_FLAG(list_tests) && DisplayReachable()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        application = std::make_unique<QGuiApplication>(argc, argv);
        g_display = true;
    }
    return RUN_ALL_TESTS();
}
