#include "X11ShellTestSupport.h"

#include "platform/x11/X11Session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <cstdlib>
#include <memory>

namespace tern::test {

bool HaveWindowManager()
{
    xcb_connection_t* connection = platform::x11::QtConnection();
    const xcb_atom_t check = platform::x11::InternAtom(connection, "_NET_SUPPORTING_WM_CHECK");
    if (!connection || check == XCB_ATOM_NONE)
        return false;
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, platform::x11::QtRootWindow(), check, XCB_ATOM_WINDOW, 0, 1),
            nullptr),
        &std::free);
    return reply && xcb_get_property_value_length(reply.get()) == 4;
}

ToolRun RunPumping(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForStarted(5000))
        return run;
    WaitUntil([&process] { return process.state() == QProcess::NotRunning; }, 15000);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

bool Xdotool(const QStringList& arguments)
{
    return RunPumping(QStringLiteral("xdotool"), arguments).exitCode == 0;
}

OtherClient::OtherClient() : m_connection(xcb_connect(nullptr, nullptr))
{
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
}

OtherClient::~OtherClient()
{
    xcb_disconnect(m_connection);
}

bool OtherClient::grab(std::uint8_t keycode, std::uint16_t modifiers)
{
    const xcb_void_cookie_t cookie = xcb_grab_key_checked(m_connection, 1, m_root, modifiers, keycode,
                                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_generic_error_t* error = xcb_request_check(m_connection, cookie);
    const bool granted = error == nullptr;
    std::free(error);
    return granted;
}

void OtherClient::ungrab(std::uint8_t keycode, std::uint16_t modifiers)
{
    xcb_ungrab_key(m_connection, keycode, m_root, modifiers);
    xcb_flush(m_connection);
}

} // namespace tern::test
