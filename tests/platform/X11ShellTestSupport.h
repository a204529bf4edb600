#pragma once

#include "X11TestSupport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

#include <xcb/xcb.h>

namespace tern::test {

// True when a window manager announces itself on the root window (_NET_SUPPORTING_WM_CHECK).
bool HaveWindowManager();

struct ToolRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs a program to its end (at most 15 s) while this process keeps handling its own X events.
ToolRun RunPumping(const QString& program, const QStringList& arguments);

// xdotool with the arguments; true when it succeeded.
bool Xdotool(const QStringList& arguments);

// A second X client with a connection of its own, as another program holding key grabs would be.
class OtherClient
{
public:
    OtherClient();
    ~OtherClient();
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;

    // Grabs the key on the root window; false when the server refused (another client holds it).
    bool grab(std::uint8_t keycode, std::uint16_t modifiers);
    void ungrab(std::uint8_t keycode, std::uint16_t modifiers);

private:
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = 0;
};

} // namespace tern::test
