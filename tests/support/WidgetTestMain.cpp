#include "notify/Balloon.h"

#include <QApplication>

#include <gtest/gtest.h>

// Widget and dialog tests need an application object and the process's balloon; without a chosen
// platform they run offscreen, which also lets test discovery run on a machine without a display.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tern::CreateBalloon();
    const int result = RUN_ALL_TESTS();
    tern::DestroyBalloon();
    return result;
}
