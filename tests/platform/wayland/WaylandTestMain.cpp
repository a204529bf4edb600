// The Wayland platform tests run against the compositor named by WAYLAND_DISPLAY (scripts/
// headless-sway.sh); without one every test is skipped, unless TERN_REQUIRE_WAYLAND=1 asks for them.
#include "WaylandTestSupport.h"
#include "platform/wayland/WaylandPlatform.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

bool g_haveCompositor = false;

} // namespace

bool tern::test::HaveCompositor()
{
    return g_haveCompositor;
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QGuiApplication> application;
    // Qt ends the process when it cannot reach the compositor, so the compositor is tried first.
    if (!testing::GTEST_FLAG(list_tests) && tern::platform::wayland::CompositorReachable()) {
        qputenv("QT_QPA_PLATFORM", "wayland");
        application = std::make_unique<QGuiApplication>(argc, argv);
        g_haveCompositor = true;
    } else if (!testing::GTEST_FLAG(list_tests) && qgetenv("TERN_REQUIRE_WAYLAND") == "1") {
        std::fprintf(stderr, "no Wayland compositor to test against (WAYLAND_DISPLAY)\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
