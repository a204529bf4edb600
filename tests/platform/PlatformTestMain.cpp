// The platform tests run against the X server named by DISPLAY; without one every test that needs it
// is skipped.
#include "X11TestSupport.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include <xcb/xcb.h>

namespace {

bool g_haveDisplay = false;

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

bool tern::test::HaveDisplay()
{
    return g_haveDisplay;
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QGuiApplication> application;
    if (!testing::GTEST_FLAG(list_tests) && DisplayReachable()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        application = std::make_unique<QGuiApplication>(argc, argv);
        g_haveDisplay = true;
    }
    return RUN_ALL_TESTS();
}
