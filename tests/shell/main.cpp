// The shell tests need an application object and the process's balloon; they run offscreen.
#include "ShellTestSupport.h"

#include "notify/Balloon.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    tern::CreateBalloon();
    const int result = RUN_ALL_TESTS();
    tern::test::StopSharedService();
    tern::DestroyBalloon();
    return result;
}
